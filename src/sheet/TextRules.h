#pragma once

#include <QString>

// The character rules of the sheet's change rule, shared with the importers.
namespace itinerary {

// Upper case per character with Unicode's simple mapping: a character whose upper case is
// one character is replaced, one whose upper case is longer (ß) stays, full-width latin
// letters are upper-cased. The length in UTF-16 code units never changes.
QString toUpperSimple(const QString &text);

// Every full-width colon "：" replaced by ":".
QString foldFullWidthColons(const QString &text);

// Every full-width digit "０".."９" replaced by "0".."9".
QString foldFullWidthDigits(const QString &text);

// Leading and trailing U+0020 removed (only blanks; tabs and line ends stay).
QString trimBlanks(const QString &text);

// Leading and trailing spaces, tabs, CR and LF removed (names).
QString trimWhitespace(const QString &text);

} // namespace itinerary
