#pragma once

#include "textimport/CodeTable.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace itinerary {

// An airport code: exactly three ASCII capital letters (PEK).
bool isAirportCode(QStringView code);
// An airline code: two ASCII capital letters or digits, at least one a letter (CA, 3U, G5).
bool isAirlineCode(QStringView code);

// The entries of a code list text, in the order they stand.
struct CodeList {
    QList<CodeEntry> airports;
    QList<CodeEntry> airlines;
    // The numbers (from 1) of the lines that hold something other than an entry.
    QList<int> unrecognisedLines;
};

// Reads a code list: one entry a line, the code, blanks or tabs, the name. "#" starts a
// comment that runs to the end of its line; blank lines are skipped. Line ends may be LF,
// CR LF or CR. The code is upper-cased: three letters make an airport, two characters an
// airline. The name runs to the end of the line (or the comment), without the blanks around
// it; an ideographic space counts as a blank, as Chinese input methods type one. A line
// whose code has neither shape, or that has no name, or whose name holds a control
// character, is no entry and is listed by its number.
CodeList parseCodeList(const QString &text, CodeSource source);

} // namespace itinerary
