#include "WebStore.h"

#include "print/CheckCode.h"
#include "print/GeneralNumber.h"
#include "sheet/TextRules.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QThreadStorage>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {

// Another instance's write may hold an SQLite file for a moment; prints wait that long.
constexpr int SqliteBusyTimeoutMs = 5000;
// Concurrent reservations on one counter: each retry means another print got in first.
constexpr int ReservationAttempts = 200;

QString notNull(const QString &value) {
    return value.isNull() ? u""_s : value;
}

QThreadStorage<std::shared_ptr<WebStore>> &threadStores() {
    static QThreadStorage<std::shared_ptr<WebStore>> stores;
    return stores;
}

} // namespace

WebStore::WebStore(const DatabaseAddress &address) {
    Result<std::unique_ptr<JournalDatabase>> opened =
        JournalDatabase::open(address, JournalDatabase::Access::ReadWrite);
    if (!opened)
        throw StoreFailure{opened.error()};
    m_db = *std::move(opened);
    if (!address.isServer()) {
        QSqlQuery query(m_db->connection());
        if (!query.exec(u"PRAGMA busy_timeout = %1"_s.arg(SqliteBusyTimeoutMs)))
            fail(query.lastError());
    }
}

WebStore::~WebStore() = default;

WebStore &WebStore::forThisThread(const DatabaseAddress &address) {
    QThreadStorage<std::shared_ptr<WebStore>> &stores = threadStores();
    if (!stores.hasLocalData() || !stores.localData())
        stores.setLocalData(std::make_shared<WebStore>(address));
    return *stores.localData();
}

void WebStore::dropThisThread() {
    threadStores().setLocalData(nullptr);
}

QSqlQuery WebStore::prepared(const QString &statement) {
    QSqlQuery query(m_db->connection());
    if (!query.prepare(statement))
        fail(query.lastError());
    return query;
}

void WebStore::exec(QSqlQuery &query) {
    if (!query.exec())
        fail(query.lastError());
}

void WebStore::fail(const QSqlError &error) {
    throw StoreFailure{describeDatabaseError(m_db->address(), error)};
}

void WebStore::begin() {
    QSqlQuery query(m_db->connection());
    // SQLite: take the write lock now, so that two writers wait for each other instead of
    // one failing when it upgrades its read lock.
    if (!query.exec(m_db->address().isServer() ? u"BEGIN"_s : u"BEGIN IMMEDIATE"_s))
        fail(query.lastError());
}

void WebStore::commit() {
    QSqlQuery query(m_db->connection());
    if (!query.exec(u"COMMIT"_s)) {
        const QSqlError error = query.lastError();
        rollback();
        fail(error);
    }
}

void WebStore::rollback() {
    QSqlQuery(m_db->connection()).exec(u"ROLLBACK"_s);
}

std::optional<WebUser> WebStore::user(const QString &name) {
    QSqlQuery query = prepared(u"SELECT name, role, password_hash FROM web_users WHERE name = ?"_s);
    query.addBindValue(name);
    exec(query);
    if (!query.next())
        return std::nullopt;
    return WebUser{query.value(0).toString(), query.value(1).toString(),
                   query.value(2).toString().toLatin1()};
}

QList<WebUser> WebStore::users() {
    QSqlQuery query = prepared(u"SELECT name, role FROM web_users ORDER BY name"_s);
    exec(query);
    QList<WebUser> users;
    while (query.next())
        users.append(WebUser{query.value(0).toString(), query.value(1).toString(), {}});
    return users;
}

void WebStore::saveUser(const WebUser &user) {
    QSqlQuery query =
        prepared(u"INSERT INTO web_users (name, role, password_hash) VALUES (?, ?, ?) "
                 "ON CONFLICT (name) DO UPDATE SET role = excluded.role, "
                 "password_hash = excluded.password_hash"_s);
    query.addBindValue(user.name);
    query.addBindValue(user.role);
    query.addBindValue(QString::fromLatin1(user.passwordHash));
    exec(query);
}

int WebStore::failuresSince(const QString &subject, qint64 sinceMs) {
    QSqlQuery query =
        prepared(u"SELECT COUNT(*) FROM web_login_failures WHERE subject = ? AND failed_at >= ?"_s);
    query.addBindValue(subject);
    query.addBindValue(sinceMs);
    exec(query);
    return query.next() ? query.value(0).toInt() : 0;
}

void WebStore::addFailure(const QStringList &subjects, qint64 nowMs, qint64 forgetBeforeMs) {
    QSqlQuery forget = prepared(u"DELETE FROM web_login_failures WHERE failed_at < ?"_s);
    forget.addBindValue(forgetBeforeMs);
    exec(forget);
    for (const QString &subject : subjects) {
        QSqlQuery query =
            prepared(u"INSERT INTO web_login_failures (subject, failed_at) VALUES (?, ?)"_s);
        query.addBindValue(subject);
        query.addBindValue(nowMs);
        exec(query);
    }
}

void WebStore::clearFailures(const QString &subject) {
    QSqlQuery query = prepared(u"DELETE FROM web_login_failures WHERE subject = ?"_s);
    query.addBindValue(subject);
    exec(query);
}

void WebStore::createSession(const QByteArray &tokenHash, const SessionRecord &session) {
    QSqlQuery query = prepared(u"INSERT INTO web_sessions (token_hash, user_name, csrf_token, "
                               "created_at, last_seen) VALUES (?, ?, ?, ?, ?)"_s);
    query.addBindValue(QString::fromLatin1(tokenHash));
    query.addBindValue(session.userName);
    query.addBindValue(QString::fromLatin1(session.csrfToken));
    query.addBindValue(session.createdMs);
    query.addBindValue(session.lastSeenMs);
    exec(query);
}

std::optional<SessionRecord> WebStore::session(const QByteArray &tokenHash) {
    QSqlQuery query = prepared(u"SELECT user_name, csrf_token, created_at, last_seen "
                               "FROM web_sessions WHERE token_hash = ?"_s);
    query.addBindValue(QString::fromLatin1(tokenHash));
    exec(query);
    if (!query.next())
        return std::nullopt;
    return SessionRecord{query.value(0).toString(), query.value(1).toString().toLatin1(),
                         query.value(2).toLongLong(), query.value(3).toLongLong()};
}

void WebStore::touchSession(const QByteArray &tokenHash, qint64 nowMs) {
    QSqlQuery query = prepared(u"UPDATE web_sessions SET last_seen = ? WHERE token_hash = ? "
                               "AND last_seen < ?"_s);
    query.addBindValue(nowMs);
    query.addBindValue(QString::fromLatin1(tokenHash));
    query.addBindValue(nowMs);
    exec(query);
}

void WebStore::deleteSession(const QByteArray &tokenHash) {
    QSqlQuery query = prepared(u"DELETE FROM web_sessions WHERE token_hash = ?"_s);
    query.addBindValue(QString::fromLatin1(tokenHash));
    exec(query);
}

void WebStore::purgeSessions(qint64 idleBeforeMs, qint64 createdBeforeMs) {
    QSqlQuery query = prepared(u"DELETE FROM web_sessions WHERE last_seen < ? OR created_at < ?"_s);
    query.addBindValue(idleBeforeMs);
    query.addBindValue(createdBeforeMs);
    exec(query);
}

std::optional<CounterRecord> WebStore::counter(const QString &name) {
    QSqlQuery query = prepared(u"SELECT name, check_code, left_offset, top_offset, queue "
                               "FROM web_counters WHERE name = ?"_s);
    query.addBindValue(name);
    exec(query);
    if (!query.next())
        return std::nullopt;
    CounterRecord record{query.value(0).toString(), query.value(1).toString(),
                         query.value(2).toString(), query.value(3).toString(),
                         query.value(4).toString(), {}};
    QSqlQuery agents = prepared(
        u"SELECT user_name FROM web_counter_agents WHERE counter_name = ? ORDER BY user_name"_s);
    agents.addBindValue(name);
    exec(agents);
    while (agents.next())
        record.agents.append(agents.value(0).toString());
    return record;
}

QList<CounterRecord> WebStore::counters() {
    QSqlQuery query = prepared(u"SELECT name FROM web_counters ORDER BY name"_s);
    exec(query);
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    QList<CounterRecord> records;
    for (const QString &name : std::as_const(names)) {
        if (std::optional<CounterRecord> record = counter(name))
            records.append(*record);
    }
    return records;
}

QStringList WebStore::counterNamesOf(const QString &userName) {
    QSqlQuery query = prepared(u"SELECT counter_name FROM web_counter_agents WHERE user_name = ? "
                               "ORDER BY counter_name"_s);
    query.addBindValue(userName);
    exec(query);
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    return names;
}

void WebStore::saveCounter(const CounterRecord &counter) {
    begin();
    try {
        QSqlQuery upsert =
            prepared(u"INSERT INTO web_counters (name, check_code, left_offset, top_offset, queue) "
                     "VALUES (?, ?, ?, ?, ?) ON CONFLICT (name) DO UPDATE SET "
                     "check_code = excluded.check_code, left_offset = excluded.left_offset, "
                     "top_offset = excluded.top_offset, queue = excluded.queue"_s);
        upsert.addBindValue(counter.name);
        upsert.addBindValue(notNull(counter.checkCode));
        upsert.addBindValue(notNull(counter.leftOffsetMm));
        upsert.addBindValue(notNull(counter.topOffsetMm));
        upsert.addBindValue(notNull(counter.queue));
        exec(upsert);
        QSqlQuery clear = prepared(u"DELETE FROM web_counter_agents WHERE counter_name = ?"_s);
        clear.addBindValue(counter.name);
        exec(clear);
        for (const QString &agent : counter.agents) {
            QSqlQuery add = prepared(u"INSERT INTO web_counter_agents (counter_name, user_name) "
                                     "VALUES (?, ?) ON CONFLICT DO NOTHING"_s);
            add.addBindValue(counter.name);
            add.addBindValue(agent);
            exec(add);
        }
    } catch (const StoreFailure &) {
        rollback();
        throw;
    }
    commit();
}

bool WebStore::setOffsets(const QString &name, const QString &leftMm, const QString &topMm) {
    QSqlQuery query =
        prepared(u"UPDATE web_counters SET left_offset = ?, top_offset = ? WHERE name = ?"_s);
    query.addBindValue(leftMm);
    query.addBindValue(topMm);
    query.addBindValue(name);
    exec(query);
    return query.numRowsAffected() == 1;
}

bool WebStore::setCheckCode(const QString &name, const QString &checkCode) {
    QSqlQuery query = prepared(u"UPDATE web_counters SET check_code = ? WHERE name = ?"_s);
    query.addBindValue(checkCode);
    query.addBindValue(name);
    exec(query);
    return query.numRowsAffected() == 1;
}

std::optional<CheckCodeReservation> WebStore::reserveCheckCodes(const QString &name, int count) {
    // Compare and set: the counter moves from the code read to the one after the last taken
    // only if nobody moved it in between; otherwise read again. The same statement works on
    // both engines and needs no lock held across the computation.
    for (int attempt = 0; attempt < ReservationAttempts; ++attempt) {
        const std::optional<CounterRecord> record = counter(name);
        if (!record)
            return std::nullopt;
        CheckCodeReservation reservation;
        QString code = record->checkCode;
        for (int i = 0; i < count; ++i) {
            const std::optional<double> value = parseGeneralNumber(trimBlanks(code));
            const QString next = value ? nextCheckCode(*value) : QString();
            if (next.isEmpty())
                return std::nullopt;
            reservation.codes.append(code);
            code = next;
        }
        reservation.next = code;
        QSqlQuery query =
            prepared(u"UPDATE web_counters SET check_code = ? WHERE name = ? AND check_code = ?"_s);
        query.addBindValue(reservation.next);
        query.addBindValue(name);
        query.addBindValue(record->checkCode);
        exec(query);
        if (query.numRowsAffected() == 1)
            return reservation;
    }
    throw StoreFailure{u"柜台 %1 的验证码争用过多"_s.arg(name)};
}

void WebStore::giveBackCheckCodes(const QString &name, const QString &expected,
                                  const QString &code) {
    QSqlQuery query =
        prepared(u"UPDATE web_counters SET check_code = ? WHERE name = ? AND check_code = ?"_s);
    query.addBindValue(code);
    query.addBindValue(name);
    query.addBindValue(expected);
    exec(query);
}

void WebStore::insertJournalEntry(const JournalEntry &entry) {
    if (const Result<> inserted = m_db->insert(entry); !inserted)
        throw StoreFailure{inserted.error()};
}

QList<JournalEntry> WebStore::journalEntries(const JournalFilter &filter, int limit) {
    Result<QList<JournalEntry>> rows = m_db->entries(filter, true, limit);
    if (!rows)
        throw StoreFailure{rows.error()};
    return *std::move(rows);
}

std::optional<JournalEntry> WebStore::journalEntry(const QString &id) {
    QSqlQuery exists = prepared(u"SELECT COUNT(*) FROM print_journal WHERE entry_id = ?"_s);
    exists.addBindValue(id);
    exec(exists);
    if (!exists.next() || exists.value(0).toInt() == 0)
        return std::nullopt;
    Result<JournalEntry> row = m_db->entry(id);
    if (!row)
        throw StoreFailure{row.error()};
    return *std::move(row);
}

bool WebStore::voidJournalEntry(const QString &id, const QString &reason, const QDateTime &when) {
    const std::optional<JournalEntry> row = journalEntry(id);
    if (!row || row->voided)
        return false;
    const Result<> voided = m_db->markVoid(id, reason, when);
    if (voided)
        return true;
    // Voided by someone else in the meantime: an answer, not a failure.
    const std::optional<JournalEntry> again = journalEntry(id);
    if (again && again->voided)
        return false;
    throw StoreFailure{voided.error()};
}

} // namespace itinerary::web
