#include "print/ui/QtReceiptPrinter.h"

#include "print/PrintLog.h"
#include "print/pdf/PdfStencil.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace itinerary {

namespace {
constexpr double TwipsPerInch = 1440.0;
}

bool QtReceiptPrinter::printPicture(const QByteArray &picture, int leftTwips, int topTwips) {
    m_printedOn.clear();
    QImage image = QImage::fromData(picture);
    if (image.isNull()) {
        qCWarning(printLog, "the picture to print cannot be decoded (%lld bytes)",
                  qlonglong(picture.size()));
        return false;
    }
    if (std::optional<QImage> stencil = blackAndWhiteStencil(image))
        image = *stencil;
    // Without a running print system Qt would fall back to a nameless PDF file: print only
    // to a real default printer.
    const QPrinterInfo defaultPrinter = QPrinterInfo::defaultPrinter();
    if (defaultPrinter.isNull()) {
        qCWarning(printLog, "no default printer: is the print system (CUPS) running, with a "
                            "default queue?");
        return false;
    }
    const QByteArray name = defaultPrinter.printerName().toUtf8();

    QPrinter printer(defaultPrinter, QPrinter::HighResolution);
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat) {
        qCWarning(printLog, "the default printer %s cannot be used", name.constData());
        return false;
    }
    printer.setDocName(m_jobTitle);
    printer.setCopyCount(1);
    // The origin is the printable area's corner, as on the form the offsets were set for.
    printer.setFullPage(false);

    QPainter painter;
    if (!painter.begin(&printer)) {
        qCWarning(printLog, "printing on %s could not start", name.constData());
        return false;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Work in twips: the offsets move the origin, the picture fills the receipt's box.
    const double scaleX = printer.logicalDpiX() / TwipsPerInch;
    const double scaleY = printer.logicalDpiY() / TwipsPerInch;
    painter.scale(scaleX, scaleY);
    painter.translate(leftTwips, topTwips);
    painter.setPen(Qt::black); // a stencil's ink
    painter.drawImage(QRectF(0, 0, ReceiptWidthTwips, ReceiptHeightTwips), image);
    if (!painter.end()) {
        qCWarning(printLog, "printing on %s failed", name.constData());
        return false;
    }
    m_printedOn = defaultPrinter.printerName();
    return true;
}

QString QtReceiptPrinter::printerName() const {
    // Asking the print system again costs a round trip (about 10 ms) per receipt.
    if (!m_printedOn.isEmpty())
        return m_printedOn;
    return QPrinterInfo::defaultPrinterName();
}

} // namespace itinerary
