#pragma once

#include <QString>

// The fixed code tables of the booking display: airports, airlines and months. Nothing is
// read from files; lookups never fail. A code missing from the table prints as the code
// itself, because the display holds it and the receipt must not lose it.
namespace itinerary {

// The Chinese city (or airport) name of a three-letter airport code. The code is upper-cased
// but not trimmed, so " PEK" or "PE" match nothing. An unknown code: see unknownAirportName.
QString airportCityName(const QString &code);

// The Chinese short name of a two-character airline code, upper-cased and trimmed of blanks
// first. An unknown code: see unknownAirlineName.
QString airlineShortName(const QString &code);

// What an upper-cased airport code missing from the table prints as: the code itself when it
// is three ASCII letters ("YVR"), else empty text.
QString unknownAirportName(const QString &upperCode);

// What an upper-cased, trimmed airline code missing from the table prints as: the code itself
// when it is two ASCII letters or digits with at least one letter ("AC", "9C"), else "未知".
QString unknownAirlineName(const QString &upperCode);

// The two-digit month ("01".."12") of an upper-cased three-letter English month abbreviation;
// empty text when it is none.
QString monthNumber(const QString &month);

} // namespace itinerary
