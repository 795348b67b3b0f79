#pragma once

#include "render/ReceiptLayout.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QStringList>

namespace itinerary {

struct RenderOptions {
    // Draw every field's box with its index, for calibrating a printer on plain paper.
    bool grid = false;
    // Millimetre rulers along the top and left edges, numbered every 10 mm from the
    // picture's corner, so that an agent who lays the page over a blank form reads how far
    // to move the print.
    bool rulers = false;
};

// Draws field values onto a white 1-bit page of 2425 x 1244 pixels at 300 dpi. The form
// itself is pre-printed, so the picture holds the values only. Painting 1-bit directly keeps
// drawing and PNG encoding to a few milliseconds. Safe to use from several threads at once
// (a QGuiApplication must exist, for the fonts).
class ReceiptRenderer final {
public:
    explicit ReceiptRenderer(ReceiptLayout layout);

    // Value i goes into the box of field i; values beyond the layout's fields, and fields
    // without a value, stay blank.
    QImage render(const QStringList &values, const RenderOptions &options = {}) const;
    QByteArray renderPng(const QStringList &values, const RenderOptions &options = {}) const;
    // The calibration page: no values, every field's box with its index, and the rulers.
    QByteArray calibrationPng() const;

    static QByteArray encodePng(const QImage &image);
    // The pixels of a box given in millimetres.
    static QRect pixelRect(const QRectF &rectMm);

    const ReceiptLayout &layout() const { return m_layout; }

private:
    ReceiptLayout m_layout;
};

} // namespace itinerary
