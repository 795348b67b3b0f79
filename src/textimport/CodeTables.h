#pragma once

#include "textimport/CodeTable.h"

#include <QString>

#include <optional>

namespace itinerary {

struct CodeList;

// What a lookup gives: the name to print, and where it comes from (nothing when the code is
// in no table and the name is the default).
struct CodeLookup {
    QString name;
    std::optional<CodeSource> source;
    bool operator==(const CodeLookup &) const = default;
};

// The airport and airline tables of the booking import: the built-in ones, which the agency's
// own codes may override and extend. Lookups never fail: a code that no table lists gives
// itself when it has the shape of a code, so the receipt keeps what the display said, and the
// fixed default otherwise.
class CodeTables final {
public:
    // The tables compiled into the program, read on first use, from whichever thread asks
    // first; they never change afterwards.
    static const CodeTables &builtIn();
    // Reads the compiled-in tables anew (builtIn() keeps the first reading).
    static CodeTables readBuiltIn();

    // These tables with the agency's entries: an agency entry gives a listed code its name,
    // in its place; a new code is appended. Within the agency's list, as in the built-in
    // tables, the first entry of a code wins.
    CodeTables withAgencyCodes(const CodeList &agencyCodes) const;

    // The Chinese city (or airport) name of a three-letter airport code. The code is
    // upper-cased but not trimmed, so " PEK" or "PE" match nothing. An unlisted code of
    // exactly three ASCII letters gives itself; anything else the empty text.
    CodeLookup airport(const QString &code) const;
    QString airportCityName(const QString &code) const { return airport(code).name; }

    // The Chinese short name of a two-character airline code, upper-cased and trimmed of
    // blanks first. An unlisted code of two ASCII letters or digits, at least one a letter,
    // gives itself; anything else "未知".
    CodeLookup airline(const QString &code) const;
    QString airlineShortName(const QString &code) const { return airline(code).name; }

    const CodeTable &airports() const { return m_airports; }
    const CodeTable &airlines() const { return m_airlines; }

private:
    CodeTable m_airports;
    CodeTable m_airlines;
};

// What an upper-cased airport code missing from the tables prints as: the code itself when it
// is three ASCII letters ("YVR"), else empty text.
QString unknownAirportName(const QString &upperCode);

// What an upper-cased, trimmed airline code missing from the tables prints as: the code itself
// when it is two ASCII letters or digits with at least one letter ("AC", "9C"), else "未知".
QString unknownAirlineName(const QString &upperCode);

// The two-digit month ("01".."12") of an upper-cased three-letter English month abbreviation;
// empty text when it is none.
QString monthNumber(const QString &month);

} // namespace itinerary
