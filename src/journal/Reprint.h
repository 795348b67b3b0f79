#pragma once

namespace itinerary {

class Itinerary;
struct JournalEntry;

// Puts a journal row back on the sheet for a reprint: the 59 values and domestic or
// international, written as any program write (through the sheet's change rules). The
// check code is left as the sheet has it: the reprint goes on the form now in the printer,
// which carries its own code.
void loadForReprint(const JournalEntry &entry, Itinerary &sheet);

} // namespace itinerary
