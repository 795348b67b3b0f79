#pragma once

#include "sheet/FieldMap.h"

#include <QRect>

namespace itinerary {

// The window is laid out in twips, 15 to a logical pixel.
inline int twipsToPixels(int twips) {
    return twips / TwipsPerPixel;
}

inline QRect twipsToPixels(const TwipRect &r) {
    return QRect(twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
                 twipsToPixels(r.height));
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return twipsToPixels(TwipRect{left, top, width, height});
}

} // namespace itinerary
