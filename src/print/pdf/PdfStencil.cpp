#include "print/pdf/PdfStencil.h"

namespace itinerary {

namespace {
const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);
} // namespace

std::optional<QImage> blackAndWhiteStencil(const QImage &picture) {
    if (picture.depth() != 1 || picture.colorCount() != 2)
        return std::nullopt;
    QImage stencil = picture.convertToFormat(QImage::Format_Mono);
    if (stencil.color(0) == Black && stencil.color(1) == White)
        return stencil;
    if (stencil.color(0) != White || stencil.color(1) != Black)
        return std::nullopt;
    // The same picture with its bits and its two colours swapped.
    stencil.invertPixels();
    stencil.setColorTable({Black, White});
    return stencil;
}

} // namespace itinerary
