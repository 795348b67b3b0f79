#pragma once

#include <QRect>

namespace itinerary {

// The window is laid out in twips (1/1440 inch), 15 to a logical pixel, as the printed form
// it mirrors.
inline constexpr int TwipsPerPixel = 15;

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TwipRect &) const = default;
};

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
