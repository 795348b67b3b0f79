#pragma once

#include "textimport/CodeTables.h"

#include <QString>

namespace itinerary {
struct AgencyCodes;
struct DeskSetup;
} // namespace itinerary

namespace itinerary::cli {

// Reports on standard error, as "<command>: FILE:LINE: ...", each line of the agency's
// codes.txt that is no entry, and a file that cannot be read.
void reportAgencyCodes(const QString &command, const AgencyCodes &agency);

// The code tables of the window (the built-in ones with the agency's codes.txt in the
// settings folder), its problems reported.
CodeTables agencyCodeTables(const QString &command, const DeskSetup &setup);

} // namespace itinerary::cli
