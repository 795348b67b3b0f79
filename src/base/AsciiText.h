#pragma once

#include <QChar>

// Character classes of the terminal's and the site's texts, which are ASCII where it
// matters: Unicode's own classes would also take full-width and Arabic-Indic digits.
namespace itinerary {

inline constexpr bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

inline constexpr bool isAsciiUpper(QChar c) {
    return c >= u'A' && c <= u'Z';
}

inline constexpr bool isAsciiLetter(QChar c) {
    return isAsciiUpper(c) || (c >= u'a' && c <= u'z');
}

} // namespace itinerary
