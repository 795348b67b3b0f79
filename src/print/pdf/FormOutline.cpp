#include "print/pdf/FormOutline.h"

#include "render/ReceiptLayout.h"
#include "sheet/FieldMap.h"
#include "sheet/SheetGeometry.h"

#include <QFont>
#include <QPainter>
#include <QPen>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

const QColor BoxColour(170, 190, 210);
const QColor CaptionColour(120, 140, 160);
const QString CaptionFamily = u"Noto Sans CJK SC"_s;
constexpr qreal BoxLineMm = 0.2;
// A caption's text fills this share of its mapped box's height.
constexpr qreal CaptionHeightShare = 0.55;
// Channels at or above this count as the picture's white background.
constexpr int BackgroundLevel = 250;

QRectF toRectF(const TwipRect &r) {
    return QRectF(r.left, r.top, r.width, r.height);
}

// Sheet twips to receipt millimetres: the sheet boxes of the fields the layout prints are
// mapped onto the layout's boxes of the same fields (for the default layout, the sheet's
// fields onto the page inset by 5 mm), x and y scaled independently.
class SheetToReceipt final {
public:
    explicit SheetToReceipt(const ReceiptLayout &layout) {
        for (const FieldPlacement &placement : layout.fields()) {
            if (!isValidField(placement.index) || placement.index == Field::RecordCodeMirror)
                continue;
            m_sheet |= toRectF(fieldRect(placement.index));
            m_receipt |= placement.rectMm;
        }
    }
    bool isValid() const { return !m_sheet.isEmpty() && !m_receipt.isEmpty(); }
    QRectF map(const TwipRect &r) const {
        const qreal sx = m_receipt.width() / m_sheet.width();
        const qreal sy = m_receipt.height() / m_sheet.height();
        return QRectF(m_receipt.left() + (r.left - m_sheet.left()) * sx,
                      m_receipt.top() + (r.top - m_sheet.top()) * sy, r.width * sx, r.height * sy);
    }

private:
    QRectF m_sheet;
    QRectF m_receipt;
};

} // namespace

void drawFormOutline(QPainter &painter, const QRectF &receipt, const ReceiptLayout &layout) {
    const qreal sx = receipt.width() / ReceiptWidthMm;
    const qreal sy = receipt.height() / ReceiptHeightMm;
    const auto onPage = [&](const QRectF &mm) {
        return QRectF(receipt.left() + mm.left() * sx, receipt.top() + mm.top() * sy,
                      mm.width() * sx, mm.height() * sy);
    };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(BoxColour, BoxLineMm * sx));
    for (const FieldPlacement &placement : layout.fields())
        painter.drawRect(onPage(placement.rectMm));

    const SheetToReceipt sheetToReceipt(layout);
    if (sheetToReceipt.isValid()) {
        painter.setPen(CaptionColour);
        for (const SheetLabel &label : sheetLabels()) {
            const QRectF box = onPage(sheetToReceipt.map(label.rect));
            QFont font(CaptionFamily);
            font.setPixelSize(std::max(1, qRound(box.height() * CaptionHeightShare)));
            painter.setFont(font);
            const Qt::Alignment alignment =
                (label.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
            painter.drawText(box, int(alignment) | Qt::TextDontClip, label.caption.toString());
        }
    }
    painter.restore();
}

QImage receiptInk(const QImage &picture) {
    QImage ink = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < ink.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(ink.scanLine(y));
        for (int x = 0; x < ink.width(); ++x) {
            const QRgb c = line[x];
            if (qRed(c) >= BackgroundLevel && qGreen(c) >= BackgroundLevel &&
                qBlue(c) >= BackgroundLevel)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return ink;
}

} // namespace itinerary
