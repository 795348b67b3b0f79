#pragma once

#include <QList>
#include <QStringView>

namespace itinerary {

class Clock;
class CodeTables;
class Itinerary;

// The most flight segments the sheet has rows for.
inline constexpr int MaxImportedSegments = 4;

// Fills the segment rows from the segment texts (the pieces after each segment marker, in
// display order): segment r fills row r with its departure city cell, carrier name, flight,
// class, date, departure time and "20K" baggage, for up to four segments. The last imported
// segment's arrival city cell goes into the city line below its row, and unless all four rows
// are used, "VOID" marks the end of the journey in the carrier column of that next row and in
// the city line after it. Columns are read in the first line of a segment text only, so a
// short line never picks up the next line's characters. Cities and carriers are named from
// `codes`.
void importSegments(const QList<QStringView> &segmentTexts, Itinerary &sheet, const Clock &clock,
                    const CodeTables &codes);

// The city cell of an airport code and terminal: the city name, three spaces, and the
// terminal, where "--" (no terminal) writes nothing.
QString cityCell(const CodeTables &codes, QStringView airportCode, QStringView terminal);

} // namespace itinerary
