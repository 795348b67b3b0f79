#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace itinerary {

class ReceiptLayout;

// The mark across every page of a copy, so that it can never pass for the printed form.
inline constexpr QStringView CopyMark = u"行程单副本 仅供参考 不作报销凭证";

// Saves a copy of receipts as a PDF: one A4 landscape page per picture, the picture at its
// printed size (205.3 x 105.3 mm) over the form's outline, centred, with the copy mark
// across the page. The file is replaced only once it is complete. On failure (a picture that
// does not decode, a file that cannot be written) why, in Chinese.
Result<> saveReceiptCopyPdf(const QString &path, const QList<QByteArray> &pictures,
                            const ReceiptLayout &layout);

} // namespace itinerary
