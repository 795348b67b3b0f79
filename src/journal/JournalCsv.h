#pragma once

#include "journal/JournalEntry.h"

#include <QByteArray>
#include <QList>

namespace itinerary {

// The journal as CSV for spreadsheet programs: UTF-8 with a byte-order mark (without it
// they take the Chinese text for the system's legacy code page), CR LF line ends, a value
// quoted when it holds a comma, a quote or a line break (quotes doubled), and one that a
// spreadsheet would run as a formula starts with an apostrophe. One header line,
// then one line per row: the row's columns, then the 59 field values.
namespace journalcsv {
QByteArray header(); // starts with the byte-order mark
QByteArray line(const JournalEntry &entry);
QByteArray document(const QList<JournalEntry> &entries);
} // namespace journalcsv

} // namespace itinerary
