#include "print/PrintOffsets.h"

#include "print/GeneralNumber.h"

#include <cmath>

namespace itinerary {

std::optional<int> offsetTwips(const QString &millimetres) {
    const std::optional<double> value = parseGeneralNumber(millimetres);
    if (!value)
        return std::nullopt;
    // std::nearbyint rounds in the default mode, to nearest with halves to even.
    const double twips = std::nearbyint(*value * TwipsPerMillimetre);
    if (!(std::fabs(twips) <= MaxOffsetTwips))
        return std::nullopt;
    return int(twips);
}

} // namespace itinerary
