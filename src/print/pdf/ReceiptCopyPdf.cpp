#include "print/pdf/ReceiptCopyPdf.h"

#include "print/pdf/FormOutline.h"
#include "print/pdf/PdfStencil.h"
#include "render/ReceiptLayout.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

constexpr int PdfDpi = 300;
constexpr qreal MarkHeightMm = 13;
const QColor MarkColour(200, 40, 40, 90);

qreal dots(qreal mm) {
    return mm * PdfDpi / MillimetresPerInch;
}

// The copy mark, large and translucent, straight across the page through the receipt's
// middle (level, so that it stays one line of text for a reader of the PDF).
void drawCopyMark(QPainter &painter, const QSizeF &page) {
    QFont font(u"Noto Sans CJK SC"_s);
    font.setPixelSize(qRound(dots(MarkHeightMm)));
    font.setBold(true);
    const QString mark = CopyMark.toString();
    const qreal width = QFontMetricsF(font).horizontalAdvance(mark);
    painter.save();
    painter.translate(page.width() / 2, page.height() / 2);
    painter.setFont(font);
    painter.setPen(MarkColour);
    painter.drawText(QPointF(-width / 2, QFontMetricsF(font).ascent() / 2), mark);
    painter.restore();
}

} // namespace

Result<> saveReceiptCopyPdf(const QString &path, const QList<QByteArray> &pictures,
                            const ReceiptLayout &layout) {
    QList<QImage> inks;
    for (const QByteArray &picture : pictures) {
        const QImage image = QImage::fromData(picture);
        if (image.isNull()) {
            return Result<>::failure(u"打印服务返回的图片无法识别"_s);
        }
        // A stencil leaves the outline visible by itself; anything else loses its white.
        const std::optional<QImage> stencil = blackAndWhiteStencil(image);
        inks.append(stencil ? *stencil : receiptInk(image));
    }
    if (inks.isEmpty()) {
        return Result<>::failure(u"没有可保存的行程单"_s);
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return Result<>::failure(
            u"无法写入 %1：%2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(PdfDpi);
        writer.setCreator(u"行程单打印软件"_s);
        writer.setTitle(CopyMark.toString());
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
        const QSizeF page(dots(297), dots(210));
        const QSizeF receipt(dots(ReceiptWidthMm), dots(ReceiptHeightMm));
        const QRectF receiptBox(
            QPointF((page.width() - receipt.width()) / 2, (page.height() - receipt.height()) / 2),
            receipt);
        QPainter painter;
        if (!painter.begin(&writer)) {
            return Result<>::failure(u"无法生成PDF：%1"_s.arg(QDir::toNativeSeparators(path)));
        }
        for (qsizetype i = 0; i < inks.size(); ++i) {
            if (i > 0)
                writer.newPage();
            drawFormOutline(painter, receiptBox, layout);
            painter.setPen(Qt::black);
            painter.drawImage(receiptBox, inks.at(i));
            drawCopyMark(painter, page);
        }
        painter.end();
    }
    if (!file.commit()) {
        return Result<>::failure(
            u"无法写入 %1：%2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    return succeeded();
}

} // namespace itinerary
