#pragma once

#include <QImage>

#include <optional>

namespace itinerary {

// Qt's PDF output, which the print system receives and a PDF copy is made of, keeps a 1-bit
// picture as a 1-bit stencil (painted in the pen's colour, transparent elsewhere) only when
// its colours are black then white. Any other picture it re-encodes pixel by pixel in colour:
// some 100 ms and ten times the bytes for a receipt, whose picture comes white then black.
//
// The picture as such a stencil when it is 1-bit black and white (it looks the same drawn in
// black), nothing otherwise.
std::optional<QImage> blackAndWhiteStencil(const QImage &picture);

} // namespace itinerary
