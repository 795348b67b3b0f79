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

    static QByteArray encodePng(const QImage &image);
    // The pixels of a box given in millimetres.
    static QRect pixelRect(const QRectF &rectMm);

    const ReceiptLayout &layout() const { return m_layout; }

private:
    ReceiptLayout m_layout;
};

} // namespace itinerary
