#pragma once

#include <QString>

// The fixed code tables of the booking display: airports, airlines and months. Nothing is
// read from files; lookups never fail and give a fixed default for an unknown code.
namespace itinerary {

// The Chinese city (or airport) name of a three-letter airport code. The code is upper-cased
// but not trimmed, so " PEK" or "PE" match nothing. Empty text for an unknown code.
QString airportCityName(const QString &code);

// The Chinese short name of a two-character airline code, upper-cased and trimmed of blanks
// first; "未知" for an unknown code.
QString airlineShortName(const QString &code);

// The two-digit month ("01".."12") of an upper-cased three-letter English month abbreviation;
// empty text when it is none.
QString monthNumber(const QString &month);

} // namespace itinerary
