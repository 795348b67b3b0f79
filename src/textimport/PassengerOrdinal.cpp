#include "textimport/PassengerOrdinal.h"

#include "textimport/TextCutting.h"

namespace itinerary {

namespace {

constexpr QStringView OrdinalMarker = u"/P";
// Fifteen digits stay well inside qint64; no booking has that many passengers.
constexpr qsizetype MaxOrdinalDigits = 15;

OrdinalSplit splitAt(QStringView element, qsizetype at) {
    return OrdinalSplit{element.left(at), leadingOrdinal(element.mid(at + OrdinalMarker.size()))};
}

} // namespace

Ordinal leadingOrdinal(QStringView text) {
    qsizetype digits = 0;
    while (digits < text.size() && isAsciiDigit(text[digits]))
        ++digits;
    if (digits == 0)
        return NoOrdinal;
    qsizetype zeros = 0;
    while (zeros < digits - 1 && text[zeros] == u'0')
        ++zeros;
    if (digits - zeros > MaxOrdinalDigits)
        return HugeOrdinal;
    Ordinal value = 0;
    for (qsizetype i = zeros; i < digits; ++i)
        value = value * 10 + (text[i].unicode() - u'0');
    return value;
}

std::optional<OrdinalSplit> splitAtFirstOrdinal(QStringView element) {
    const qsizetype at = element.indexOf(OrdinalMarker);
    if (at < 0)
        return std::nullopt;
    return splitAt(element, at);
}

std::optional<OrdinalSplit> splitAtLastOrdinal(QStringView element) {
    const qsizetype at = element.lastIndexOf(OrdinalMarker);
    if (at < 0)
        return std::nullopt;
    return splitAt(element, at);
}

} // namespace itinerary
