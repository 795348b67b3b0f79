#include "render/ReceiptRenderer.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <map>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// Below this the text is unreadable on any printer; a longer value is cut at its box.
constexpr int MinPixelSize = 16;
constexpr int GridLabelPixelSize = 22;
constexpr int TextPadding = 5; // pixels, about 0.4 mm
constexpr int GridLineWidth = 2;
// Ruler ticks: every millimetre, longer every 5 and 10; they stay inside the 5 mm margin
// that the default layout leaves around its boxes.
constexpr qreal TickMm = 1.0;
constexpr qreal HalfTickMm = 1.8;
constexpr qreal TenTickMm = 2.6;
constexpr int RulerLabelPixelSize = 24;
// Qt's PNG writer turns quality 80 into zlib level 1: a 1-bit receipt comes out about a
// quarter larger than at the default level (some 20 KiB), in two thirds of the time.
// (QImageWriter::setCompression would switch compression off altogether for PNG.)
constexpr int PngQuality = 80;

int pixelsFromMm(qreal mm) {
    return int(std::lround(mm * ReceiptDpi / MillimetresPerInch));
}

int pixelsFromPoints(qreal points) {
    return std::max(1, int(std::lround(points * ReceiptDpi / 72.0)));
}

// Values are single lines: a line break or other control character would draw as a box.
QString printable(const QString &value) {
    QString text = value;
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return text;
}

class FontCache final {
public:
    explicit FontCache(const QString &family)
        : m_family(family) {}

    const QFont &font(int pixelSize) { return entry(pixelSize).font; }
    const QFontMetrics &metrics(int pixelSize) { return entry(pixelSize).metrics; }

private:
    struct Entry {
        QFont font;
        QFontMetrics metrics;
    };
    Entry &entry(int pixelSize) {
        auto it = m_entries.find(pixelSize);
        if (it == m_entries.end()) {
            QFont font(m_family);
            font.setPixelSize(pixelSize);
            // Crisp 1-bit glyphs rather than grey edges thresholded at random.
            font.setStyleStrategy(QFont::NoAntialias);
            it = m_entries.emplace(pixelSize, Entry{font, QFontMetrics(font)}).first;
        }
        return it->second;
    }

    QString m_family;
    std::map<int, Entry> m_entries;
};

// The largest pixel size up to `start` at which `text` fits `width`, not below the minimum.
int fittingPixelSize(FontCache &fonts, const QString &text, int start, int width) {
    int size = start;
    int advance = fonts.metrics(size).horizontalAdvance(text);
    if (advance <= width)
        return size;
    // Glyph advances scale almost linearly; one estimate and a few steps down settle it.
    size = std::max(MinPixelSize, int(size * qreal(width) / advance));
    while (size > MinPixelSize && fonts.metrics(size).horizontalAdvance(text) > width)
        --size;
    return size;
}

// The part of `text` its box can show. No value is drawn smaller than the minimum size, so
// what lies beyond twice the box's width at that size is never seen: measuring and drawing it
// would only cost time (a value of a thousand characters would cost ten receipts). Values
// that fit their box, or nearly, are never cut.
QString visiblePart(FontCache &fonts, const QString &text, int width) {
    const int reach = 2 * width;
    // A text so short that it would stay within reach even in glyphs two em wide is left
    // whole without measuring.
    if (text.size() * 2 * MinPixelSize <= reach)
        return text;
    const QFontMetrics &metrics = fonts.metrics(MinPixelSize);
    qreal advance = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
        advance += pair ? metrics.horizontalAdvance(text.sliced(i, 2))
                        : metrics.horizontalAdvance(text.at(i));
        if (advance > reach)
            return text.first(i);
        if (pair)
            ++i;
    }
    return text;
}

void drawValue(QPainter &painter, FontCache &fonts, const FieldPlacement &placement,
               const QString &value) {
    const QRect box = ReceiptRenderer::pixelRect(placement.rectMm);
    // Text keeps a hair's breadth from the box's sides (and from the grid's border).
    const QRect line =
        box.width() > 4 * TextPadding ? box.adjusted(TextPadding, 0, -TextPadding, 0) : box;
    const QString text = visiblePart(fonts, value, line.width());
    int size = pixelsFromPoints(placement.fontSizePt);
    // A line must fit the box's height: ascent plus descent is about 1.45 em in Noto CJK.
    size = std::min(size, std::max(MinPixelSize, int(box.height() / 1.45)));
    if (placement.shrinkToFit)
        size = fittingPixelSize(fonts, text, size, line.width());
    const QFontMetrics &metrics = fonts.metrics(size);
    const int advance = metrics.horizontalAdvance(text);
    int x = line.left();
    if (placement.alignment == FieldAlignment::Centre)
        x += (line.width() - advance) / 2;
    else if (placement.alignment == FieldAlignment::Right)
        x += line.width() - advance;
    const int baseline = box.top() + (box.height() - metrics.height()) / 2 + metrics.ascent();
    painter.setFont(fonts.font(size));
    painter.setClipRect(box);
    painter.drawText(QPoint(x, baseline), text);
}

void drawGridBox(QPainter &painter, FontCache &fonts, const FieldPlacement &placement) {
    const QRect box = ReceiptRenderer::pixelRect(placement.rectMm);
    const int w = GridLineWidth;
    // Filled strips rather than a stroked rectangle: the border lies exactly inside the box.
    painter.setClipping(false);
    painter.fillRect(QRect(box.left(), box.top(), box.width(), w), Qt::black);
    painter.fillRect(QRect(box.left(), box.bottom() - w + 1, box.width(), w), Qt::black);
    painter.fillRect(QRect(box.left(), box.top(), w, box.height()), Qt::black);
    painter.fillRect(QRect(box.right() - w + 1, box.top(), w, box.height()), Qt::black);
    painter.setPen(Qt::black);
    painter.setFont(fonts.font(GridLabelPixelSize));
    painter.drawText(box.topLeft() +
                         QPoint(w + 3, w + 1 + fonts.metrics(GridLabelPixelSize).ascent()),
                     QString::number(placement.index));
}

void drawRulers(QPainter &painter, FontCache &fonts) {
    painter.setClipping(false);
    painter.setFont(fonts.font(RulerLabelPixelSize));
    const QFontMetrics &metrics = fonts.metrics(RulerLabelPixelSize);
    const auto tickLength = [](int mm) {
        return pixelsFromMm(mm % 10 == 0 ? TenTickMm : mm % 5 == 0 ? HalfTickMm : TickMm);
    };
    // Along the top edge, ticks hanging down; the numbers beside the 10 mm ticks.
    painter.fillRect(QRect(0, 0, ReceiptPixelWidth, GridLineWidth), Qt::black);
    for (int mm = 0; pixelsFromMm(mm) < ReceiptPixelWidth; ++mm) {
        const int x = std::min(pixelsFromMm(mm), ReceiptPixelWidth - GridLineWidth);
        painter.fillRect(QRect(x, 0, GridLineWidth, tickLength(mm)), Qt::black);
        if (mm % 10 == 0 && mm > 0)
            painter.drawText(QPoint(x + 4, tickLength(mm) - 2), QString::number(mm));
    }
    // Along the left edge, ticks pointing right; the numbers below the 10 mm ticks.
    painter.fillRect(QRect(0, 0, GridLineWidth, ReceiptPixelHeight), Qt::black);
    for (int mm = 0; pixelsFromMm(mm) < ReceiptPixelHeight; ++mm) {
        const int y = std::min(pixelsFromMm(mm), ReceiptPixelHeight - GridLineWidth);
        painter.fillRect(QRect(0, y, tickLength(mm), GridLineWidth), Qt::black);
        if (mm % 10 == 0 && mm > 0)
            painter.drawText(QPoint(4, y + 2 + metrics.ascent()), QString::number(mm));
    }
}

} // namespace

ReceiptRenderer::ReceiptRenderer(ReceiptLayout layout)
    : m_layout(std::move(layout)) {}

QRect ReceiptRenderer::pixelRect(const QRectF &rectMm) {
    const int left = pixelsFromMm(rectMm.left());
    const int top = pixelsFromMm(rectMm.top());
    const int right = pixelsFromMm(rectMm.right());
    const int bottom = pixelsFromMm(rectMm.bottom());
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QImage ReceiptRenderer::render(const QStringList &values, const RenderOptions &options) const {
    QImage image(ReceiptPixelWidth, ReceiptPixelHeight, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    image.setDotsPerMeterX(ReceiptDotsPerMetre);
    image.setDotsPerMeterY(ReceiptDotsPerMetre);

    FontCache fonts(m_layout.fontFamily());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    if (options.grid) {
        for (const FieldPlacement &placement : m_layout.fields())
            drawGridBox(painter, fonts, placement);
    }
    painter.setPen(Qt::black);
    if (options.rulers)
        drawRulers(painter, fonts);
    for (const FieldPlacement &placement : m_layout.fields()) {
        if (placement.index >= values.size())
            continue;
        const QString text = printable(values.at(placement.index));
        if (!text.trimmed().isEmpty())
            drawValue(painter, fonts, placement, text);
    }
    painter.end();
    return image;
}

QByteArray ReceiptRenderer::encodePng(const QImage &image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(PngQuality);
    if (!writer.write(image))
        return QByteArray();
    return bytes;
}

QByteArray ReceiptRenderer::renderPng(const QStringList &values,
                                      const RenderOptions &options) const {
    return encodePng(render(values, options));
}

QByteArray ReceiptRenderer::calibrationPng() const {
    RenderOptions options;
    options.grid = true;
    options.rulers = true;
    return renderPng({}, options);
}

} // namespace itinerary
