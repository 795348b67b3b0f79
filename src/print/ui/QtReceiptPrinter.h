#pragma once

#include "print/ReceiptPrinter.h"

#include <QString>

namespace itinerary {

// The receipt on the system's default printer, through Qt's print support: one page, no
// dialog, no choice of printer, paper or orientation. The drawing origin is the corner of
// the printable area moved by the offsets; the picture is stretched to the receipt's size.
class QtReceiptPrinter final : public ReceiptPrinter {
public:
    QtReceiptPrinter() = default;

    // The print job's title on the printer queue.
    QString jobTitle() const { return m_jobTitle; }
    void setJobTitle(const QString &title) override { m_jobTitle = title; }

    // False when there is no default printer, the picture does not decode, or the printer
    // cannot start or finish the page: the caller tells the operator, never prints to nowhere.
    bool printPicture(const QByteArray &picture, int leftTwips, int topTwips) override;
    // The printer the last page went to; after a page that failed, or before any, the
    // system's default printer now.
    QString printerName() const override;

private:
    QString m_jobTitle = QStringLiteral("行程单");
    QString m_printedOn;
};

} // namespace itinerary
