#pragma once

#include "base/Result.h"
#include "journal/DatabaseAddress.h"

#include <QSqlDatabase>
#include <QString>

namespace itinerary {

// The journal's tables: `journal_schema` holds the layout's version, `print_journal` the
// rows, and the web counter's shared state (`web_users`, `web_sessions`, `web_counters`,
// `web_counter_agents`, `web_login_failures`), which lives beside the rows so that every
// instance of the web counter reads the same. A database of an older version is upgraded in
// place, step by step, in one transaction that other counters opening the same database at
// the same time wait for.
inline constexpr int JournalSchemaVersion = 2;

// The stored version: 0 when there are no journal tables; why not when it cannot be read.
Result<int> storedSchemaVersion(QSqlDatabase &db);

// Brings the tables to JournalSchemaVersion. Refuses a database written by a newer version
// of the program (its rows might not be what this one writes).
Result<> upgradeSchema(QSqlDatabase &db, DatabaseAddress::Engine engine);

} // namespace itinerary
