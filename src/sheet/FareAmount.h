#pragma once

#include <QString>

namespace itinerary {

// Reads a fare amount typed into a fare field. The letters of the fare prefixes (F, C, N, Y,
// Q, X, T, O; upper case only) are removed first; blanks, tabs and line feeds are skipped
// wherever they stand; a comma between a digit and a group of exactly three digits is a
// thousands separator and is dropped. Then the longest prefix that reads as a number is
// taken: optional sign, digits with at most one ".", optional exponent (E or D, optional
// sign, digits); "&H" starts a hexadecimal integer. Anything unreadable is 0.
double parseFareAmount(const QString &text);

// At least one digit before the point, exactly two after, "-" for negatives, no grouping,
// rounded half away from zero at the second decimal (0.125 gives 0.13).
QString formatTwoDecimals(double value);

} // namespace itinerary

namespace itinerary {

// An exact decimal number text "[0-9]+(.[0-9]+)?" written with exactly two decimals:
// leading zeros dropped, more decimals rounded half away from zero ("50" gives "50.00",
// "10.505" gives "10.51", "007.1" gives "7.10"). Text in any other shape is returned as is.
QString formatDecimalText(QStringView number, bool negative = false);

} // namespace itinerary
