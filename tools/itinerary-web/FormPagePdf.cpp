#include "FormPagePdf.h"

#include "print/ReceiptPrinter.h"
#include "print/ui/PdfStencil.h"
#include "render/ReceiptLayout.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {
constexpr qreal TwipsPerInch = 1440.0;

qreal dots(int twips) {
    return twips * ReceiptDpi / TwipsPerInch;
}
} // namespace

QByteArray formPagePdf(const QList<FormPage> &pages, const QString &title) {
    return formPagePdf(pages, title,
                       QPageSize(QSizeF(ReceiptWidthMm, ReceiptHeightMm), QPageSize::Millimeter,
                                 QString(), QPageSize::ExactMatch));
}

QByteArray formPagePdf(const QList<FormPage> &pages, const QString &title, const QPageSize &paper) {
    QList<QImage> inks;
    for (const FormPage &page : pages) {
        const QImage image = QImage::fromData(page.picture);
        if (image.isNull())
            return QByteArray();
        // Kept as a 1-bit stencil, a page is a few kilobytes and quick to write.
        const std::optional<QImage> stencil = blackAndWhiteStencil(image);
        inks.append(stencil ? *stencil : image);
    }
    if (inks.isEmpty())
        return QByteArray();

    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(ReceiptDpi);
        writer.setCreator(u"行程单打印软件"_s);
        writer.setTitle(title);
        writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer))
            return QByteArray();
        const QSizeF receipt(dots(ReceiptWidthTwips), dots(ReceiptHeightTwips));
        for (qsizetype i = 0; i < inks.size(); ++i) {
            if (i > 0)
                writer.newPage();
            painter.setPen(Qt::black); // a stencil's ink
            painter.drawImage(
                QRectF(QPointF(dots(pages[i].leftTwips), dots(pages[i].topTwips)), receipt),
                inks.at(i));
        }
        painter.end();
    }
    return pdf;
}

} // namespace itinerary::web
