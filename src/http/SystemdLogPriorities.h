#pragma once

namespace itinerary {

// When a service's standard error is the systemd journal (JOURNAL_STREAM names it), each log
// line starts with its syslog priority ("<4>" for a warning), so that `journalctl -p warning`
// shows the refusals and not the start-up lines. Elsewhere the lines stay as Qt writes them.
// Call it first thing in main().
void prefixLogPrioritiesForTheJournal();

} // namespace itinerary
