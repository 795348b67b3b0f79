#pragma once

#include <QString>

// The reservation terminal's screen is 80 columns wide. Some terminals and the programs that
// fetch displays deliver a row that fills all 80 columns without a line end, so the next row
// continues on the same line; these functions give such rows back their own lines.
namespace itinerary {

inline constexpr int ScreenWidth = 80;

// The columns a character takes on the terminal's screen: two for East Asian wide and
// full-width characters (Chinese names, full-width forms), one for every other character.
int screenColumns(char32_t c);

// `text` (line ends written as CR LF) with every line wider than the screen cut after each
// 80th column, counted from the start of the line, where that column holds a blank or a page
// mark ("+", "-"); where it holds anything else (a letter, half of a wide character) the row
// goes on uncut. Lines of 80 columns or fewer are left alone.
QString splitJoinedScreenRows(const QString &text);

} // namespace itinerary
