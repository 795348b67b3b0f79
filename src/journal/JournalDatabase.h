#pragma once

#include "base/Result.h"
#include "journal/DatabaseAddress.h"
#include "journal/JournalEntry.h"
#include "journal/JournalFilter.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>

namespace itinerary {

// Bounds for a server that does not answer: connecting, one statement.
struct DatabaseLimits {
    int connectTimeoutSeconds = 3;
    int statementTimeoutMs = 5000;
};

// One connection to the print journal's database, on the thread that opened it (Qt SQL
// connections are per thread). The same statements run on SQLite and PostgreSQL; only the
// table definitions differ.
class JournalDatabase final {
public:
    enum class Access { ReadWrite, ReadOnly };

    ~JournalDatabase();
    JournalDatabase(const JournalDatabase &) = delete;
    JournalDatabase &operator=(const JournalDatabase &) = delete;

    // Opens the database; for writing, creates the SQLite file (owner-only, WAL) or the
    // tables when missing and upgrades an older table layout in place. Why not, for the
    // operator, when it cannot be used.
    static Result<std::unique_ptr<JournalDatabase>> open(const DatabaseAddress &address,
                                                         Access access, DatabaseLimits limits = {});

    const DatabaseAddress &address() const { return m_address; }
    QSqlDatabase connection() const { return m_db; }
    // False when a read-only opening found no journal tables yet (no row was ever written).
    bool hasTables() const { return m_hasTables; }

    // Stores the row unless a row with its id is already there (that is no error).
    Result<> insert(const JournalEntry &entry);
    // Marks the row void with the reason; fails when there is no such row or it is void
    // already (and says which).
    Result<> markVoid(const QString &entryId, const QString &reason, const QDateTime &when);
    // The rows the filter selects, oldest first (or newest first); at most `limit` of them
    // when it is positive.
    Result<QList<JournalEntry>> entries(const JournalFilter &filter, bool newestFirst = false,
                                        int limit = 0);
    Result<JournalEntry> entry(const QString &entryId);
    Result<qint64> count();

    // The select statement of `entries`, for a model that pages through it.
    QSqlQuery selectQuery(const QString &columns, const JournalFilter &filter, bool newestFirst,
                          int limit = 0) const;

private:
    JournalDatabase(const DatabaseAddress &address, QSqlDatabase db);
    Result<> prepareSqlite(Access access);
    Result<> readSchemaVersion();

    DatabaseAddress m_address;
    QString m_connectionName;
    QSqlDatabase m_db;
    std::unique_ptr<QSqlQuery> m_insert;
    bool m_hasTables = false;
};

// What went wrong, for the operator, naming the file or the server but never a password.
QString describeDatabaseError(const DatabaseAddress &address, const QSqlError &error);

} // namespace itinerary
