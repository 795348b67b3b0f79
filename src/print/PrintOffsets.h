#pragma once

#include <QString>

#include <optional>

namespace itinerary {

// The printer is addressed in twips (1/1440 inch); the operator's offsets are millimetres,
// converted with exactly 56.7 twips per millimetre.
inline constexpr double TwipsPerMillimetre = 56.7;
// The largest offset in twips either way (about 577.9 mm).
inline constexpr int MaxOffsetTwips = 32767;

// The offset text in twips: its number times 56.7, rounded to the nearest whole number with
// halves to even. Nothing when the text is empty, not a number, or the result lies outside
// -32767..32767: such an offset cannot be printed with.
std::optional<int> offsetTwips(const QString &millimetres);

} // namespace itinerary
