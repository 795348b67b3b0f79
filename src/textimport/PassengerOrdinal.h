#pragma once

#include <QStringView>

#include <limits>
#include <optional>

namespace itinerary {

// A passenger ordinal as an element writes it after "/P": the run of ASCII digits that
// follows, compared as an integer ("/P01" names passenger 1). Passengers count from 1.
using Ordinal = qint64;
// No digits follow the "/P": the element names nobody.
inline constexpr Ordinal NoOrdinal = -1;
// More digits than any passenger list can need: names nobody, but is an ordinal.
inline constexpr Ordinal HugeOrdinal = std::numeric_limits<qint64>::max();

// The ordinal of the digit run at the start of `text`: NoOrdinal without one.
Ordinal leadingOrdinal(QStringView text);

// An element cut at a "/P": the text before it and the ordinal after it.
struct OrdinalSplit {
    QStringView before;
    Ordinal ordinal = NoOrdinal;
};

// Cut at the first (last) "/P" of `element`; nothing when it holds none.
std::optional<OrdinalSplit> splitAtFirstOrdinal(QStringView element);
std::optional<OrdinalSplit> splitAtLastOrdinal(QStringView element);

// The list position (from 0) of the passenger `ordinal` names among `count`, or -1.
inline qsizetype passengerPosition(Ordinal ordinal, qsizetype count) {
    return ordinal >= 1 && ordinal <= count ? qsizetype(ordinal - 1) : -1;
}

} // namespace itinerary
