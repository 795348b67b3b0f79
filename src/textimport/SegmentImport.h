#pragma once

#include <QList>
#include <QStringView>

namespace itinerary {

class Clock;
class CodeTables;
class Itinerary;

// The most flight segments the sheet has rows for.
inline constexpr int MaxImportedSegments = 4;

// The display cut at every segment marker: ".  " (an element number's dot and two blanks), or
// ". *" followed by two letters or digits and a digit (a codeshare flight, sold under the
// designator after the "*"). Piece 0 is the name section, each later piece a segment text
// whose columns count from 1 after its marker. Empty pieces are kept.
QList<QStringView> cutAtSegmentMarkers(QStringView text);

// The flights among the segment texts (the pieces after each segment marker, in display
// order), as their first lines. A segment text is a flight when its first line, upper-cased,
// holds a flight designator in columns 1-6 (trimmed of blanks: an airline code of two letters
// or a letter and a digit, 1 to 4 digits, at most one letter) and six ASCII letters in
// columns 21-26; a surface segment (ARNK) or another element is none. Flights whose status
// (columns 28-29) is HX, XX, UN, UC or NO are left out, unless every flight has such a status.
QList<QStringView> flightLines(const QList<QStringView> &segmentTexts);

// Fills the segment rows from the flight lines: flight r fills row r with its departure city
// cell, carrier name, flight, class, date, departure time and "20K" baggage, for up to four
// flights. Terminals are read at columns 55-58, or at 51-54 where the display has no meal
// column (column 53 not "E", column 49 "E" after blanks in 43-48, a blank in 50). A flight
// without times has an empty time. The first flight's date is read as
// `numericDate` reads it, each later one runs forward from the flight before it
// (`flightDate`). The last imported flight's arrival city cell goes into the city line below its
// row, and unless all four rows are used, "VOID" marks the end of the journey in the carrier
// column of that next row and in the city line after it.
// Cities and carriers are named from `codes`.
void importSegments(const QList<QStringView> &flights, Itinerary &sheet, const Clock &clock,
                    const CodeTables &codes);

// The terminal as the receipt prints it: trimmed of blanks; "--" or nothing is no terminal;
// a lone digit, as international displays write it (" 2"), gets a "T" ("T2").
QString terminalText(QStringView terminal);

// The city cell of an airport code and terminal: the city name (from `codes`), three spaces,
// and the terminal text.
QString cityCell(const CodeTables &codes, QStringView airportCode, QStringView terminal);

} // namespace itinerary
