#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace itinerary {

// The printed page: the receipt picture stretched to 11640 x 5970 twips (about 205.3 mm x
// 105.3 mm), so a picture of aspect 11640 : 5970 prints undistorted.
inline constexpr int ReceiptWidthTwips = 11640;
inline constexpr int ReceiptHeightTwips = 5970;

// The default printer.
class ReceiptPrinter {
public:
    virtual ~ReceiptPrinter() = default;
    // Prints the encoded picture as one page, its top-left corner `leftTwips` to the right of
    // and `topTwips` below the top-left corner of the printable area, stretched to the
    // receipt's size; what falls outside the printable area is clipped. False when nothing
    // was printed: no default printer, or printing could not start or finish.
    virtual bool printPicture(const QByteArray &picture, int leftTwips, int topTwips) = 0;
    // The printer's name for the print journal: the one the last page printed went to, else
    // the default printer; empty when unknown.
    virtual QString printerName() const { return QString(); }
    // The title the next pages carry on the printer's queue.
    virtual void setJobTitle(const QString &title) { Q_UNUSED(title); }
};

} // namespace itinerary
