#include "journal/JournalSchema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

using Engine = DatabaseAddress::Engine;

// Step 1: the rows. The search keys and the time compare code point by code point on both
// engines (SQLite's default binary collation, "C" on PostgreSQL), so that range conditions
// on them use the indexes and select the same rows.
QStringList firstLayout(Engine engine) {
    const bool server = engine == Engine::Postgresql;
    const QString key = server ? u"TEXT COLLATE \"C\" NOT NULL"_s : u"TEXT NOT NULL"_s;
    const QString seq =
        server ? u"BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY"_s : u"INTEGER PRIMARY KEY"_s;
    return {
        u"CREATE TABLE print_journal ("
        "seq %1, "
        "entry_id VARCHAR(64) NOT NULL UNIQUE, "
        "printed_at %2, "
        "counter_name TEXT NOT NULL, "
        "printed INTEGER NOT NULL, "
        "message TEXT NOT NULL, "
        "check_code TEXT NOT NULL, "
        "ticket_number TEXT NOT NULL, "
        "ticket_key %2, "
        "passenger_name TEXT NOT NULL, "
        "name_key %2, "
        "record_code TEXT NOT NULL, "
        "total TEXT NOT NULL, "
        "international INTEGER NOT NULL, "
        "left_offset TEXT NOT NULL, "
        "top_offset TEXT NOT NULL, "
        "printer_name TEXT NOT NULL, "
        "field_values TEXT NOT NULL, "
        "voided INTEGER NOT NULL DEFAULT 0, "
        "void_reason TEXT NOT NULL DEFAULT '', "
        "voided_at TEXT NOT NULL DEFAULT '')"_s.arg(seq, key),
        u"CREATE INDEX print_journal_time ON print_journal (printed_at)"_s,
        u"CREATE INDEX print_journal_ticket ON print_journal (ticket_key)"_s,
        u"CREATE INDEX print_journal_name ON print_journal (name_key)"_s,
    };
}

// Step 2: who printed a row at the web counter, and the web counter's accounts, sessions,
// counters (offsets and the next check code of the forms in each counter's printer) and the
// failed logins the lock-out counts. Times are milliseconds since the epoch.
QStringList webCounterLayout(Engine engine) {
    const bool server = engine == Engine::Postgresql;
    const QString name = server ? u"TEXT COLLATE \"C\" NOT NULL"_s : u"TEXT NOT NULL"_s;
    return {
        u"ALTER TABLE print_journal ADD COLUMN user_name TEXT NOT NULL DEFAULT ''"_s,
        u"CREATE INDEX print_journal_counter ON print_journal (counter_name, printed_at)"_s,
        u"CREATE TABLE web_users (name %1 PRIMARY KEY, role TEXT NOT NULL, "
        "password_hash TEXT NOT NULL)"_s.arg(name),
        u"CREATE TABLE web_sessions (token_hash VARCHAR(64) NOT NULL PRIMARY KEY, "
        "user_name TEXT NOT NULL, csrf_token TEXT NOT NULL, created_at BIGINT NOT NULL, "
        "last_seen BIGINT NOT NULL)"_s,
        u"CREATE TABLE web_counters (name %1 PRIMARY KEY, check_code TEXT NOT NULL, "
        "left_offset TEXT NOT NULL, top_offset TEXT NOT NULL, queue TEXT NOT NULL)"_s.arg(name),
        u"CREATE TABLE web_counter_agents (counter_name TEXT NOT NULL, user_name TEXT NOT NULL, "
        "PRIMARY KEY (counter_name, user_name))"_s,
        u"CREATE TABLE web_login_failures (subject TEXT NOT NULL, failed_at BIGINT NOT NULL)"_s,
        u"CREATE INDEX web_login_failures_subject ON web_login_failures (subject, failed_at)"_s,
    };
}

// The statements that take the layout from version `step - 1` to `step`.
QStringList upgradeStep(int step, Engine engine) {
    switch (step) {
    case 1:
        return firstLayout(engine);
    case 2:
        return webCounterLayout(engine);
    default:
        return {};
    }
}

Result<> run(QSqlDatabase &db, const QString &statement) {
    QSqlQuery query(db);
    if (query.exec(statement))
        return succeeded();
    return Result<>::failure(query.lastError().text());
}

} // namespace

Result<int> storedSchemaVersion(QSqlDatabase &db) {
    // The table list hides failures: a file that is no database at all reads as one
    // without tables, unless its schema is read first.
    QSqlQuery probe(db);
    if (db.driverName() == u"QSQLITE" && !probe.exec(u"SELECT COUNT(*) FROM sqlite_master"_s))
        return Result<int>::failure(probe.lastError().text());
    if (!db.tables().contains(u"journal_schema"_s))
        return 0;
    QSqlQuery query(db);
    if (!query.exec(u"SELECT MAX(version) FROM journal_schema"_s))
        return Result<int>::failure(query.lastError().text());
    return query.next() ? query.value(0).toInt() : 0;
}

Result<> upgradeSchema(QSqlDatabase &db, Engine engine) {
    // Already current: nothing to write (a read-only file still opens).
    if (const Result<int> current = storedSchemaVersion(db);
        current && *current == JournalSchemaVersion)
        return succeeded();
    // Counters that open a fresh database together: one creates the tables, the others wait
    // for it and then find them there.
    const bool server = engine == Engine::Postgresql;
    if (Result<> begun = run(db, server ? u"BEGIN"_s : u"BEGIN IMMEDIATE"_s); !begun)
        return begun;
    const auto rollback = [&db](const QString &why) {
        QSqlQuery(db).exec(u"ROLLBACK"_s);
        return Result<>::failure(why);
    };
    if (server) {
        if (const Result<> locked = run(db, u"SELECT pg_advisory_xact_lock(5147420915)"_s); !locked)
            return rollback(locked.error());
    }
    if (const Result<> made =
            run(db, u"CREATE TABLE IF NOT EXISTS journal_schema (version INTEGER NOT NULL)"_s);
        !made)
        return rollback(made.error());
    const Result<int> stored = storedSchemaVersion(db);
    if (!stored)
        return rollback(stored.error());
    if (*stored > JournalSchemaVersion)
        return rollback(u"由较新版本的程序建立（表结构版本 %1），请升级本程序"_s.arg(*stored));
    QStringList statements;
    for (int step = *stored + 1; step <= JournalSchemaVersion; ++step)
        statements += upgradeStep(step, engine);
    if (*stored < JournalSchemaVersion) {
        statements += u"DELETE FROM journal_schema"_s;
        statements +=
            u"INSERT INTO journal_schema (version) VALUES (%1)"_s.arg(JournalSchemaVersion);
    }
    statements += u"COMMIT"_s;
    for (const QString &statement : std::as_const(statements)) {
        if (const Result<> done = run(db, statement); !done)
            return rollback(done.error());
    }
    return succeeded();
}

} // namespace itinerary
