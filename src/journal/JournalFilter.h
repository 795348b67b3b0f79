#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace itinerary {

// Which journal rows to show: a range of print dates (either end open), an e-ticket number
// (its digits, from the start), the beginning of a passenger name (case ignored) and the
// counters. Empty parts select everything.
struct JournalFilter {
    QDate from;
    QDate to;
    QString ticketNumber;
    QString namePrefix;
    // The counters whose rows are shown (the web counter's agents see their own); empty:
    // every counter.
    QStringList counterNames{};

    // " WHERE ..." (or nothing) with "?" placeholders for the values appended to `values`.
    // Plain comparisons on the stored search keys, so that both engines answer them from
    // their indexes and give the same rows.
    QString whereClause(QVariantList *values) const;
};

} // namespace itinerary
