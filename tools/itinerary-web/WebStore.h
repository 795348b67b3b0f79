#pragma once

#include "journal/DatabaseAddress.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalEntry.h"
#include "journal/JournalFilter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace itinerary::web {

// The database could not answer; the request ends with 503 and this thread connects anew.
struct StoreFailure {
    QString message; // for the log: names the database, never a password
};

struct WebUser {
    QString name;
    QString role; // "agent", "supervisor" or "admin"
    QByteArray passwordHash;
};

struct SessionRecord {
    QString userName;
    QByteArray csrfToken;
    qint64 createdMs = 0;
    qint64 lastSeenMs = 0;
};

struct CounterRecord {
    QString name;
    QString checkCode; // the check code of the next form in the counter's printer
    QString leftOffsetMm = QStringLiteral("0");
    QString topOffsetMm = QStringLiteral("0");
    QString queue; // a CUPS queue on the server; empty: the browser prints
    QStringList agents;
};

// Check codes taken from a counter for a print: `codes` in order, and what the counter
// holds now.
struct CheckCodeReservation {
    QStringList codes;
    QString next;
};

// Everything the web counter shares between its instances, in the journal's database: one
// connection per thread (Qt SQL's rule), the same statements on SQLite and PostgreSQL. Every
// method throws StoreFailure when the database does not answer.
class WebStore final {
public:
    // Opens the database, creating or upgrading its tables. Throws StoreFailure.
    explicit WebStore(const DatabaseAddress &address);
    ~WebStore();
    WebStore(const WebStore &) = delete;
    WebStore &operator=(const WebStore &) = delete;

    // This thread's store for `address`, opened on first use and after a failure.
    static WebStore &forThisThread(const DatabaseAddress &address);
    // Drops this thread's store (its connection failed).
    static void dropThisThread();

    std::optional<WebUser> user(const QString &name);
    QList<WebUser> users();
    void saveUser(const WebUser &user);

    // Failed logins of `subject` ("user:NAME" or "address:ADDR") at or after `sinceMs`.
    int failuresSince(const QString &subject, qint64 sinceMs);
    // Records a failure of each subject, and forgets those older than `forgetBeforeMs`.
    void addFailure(const QStringList &subjects, qint64 nowMs, qint64 forgetBeforeMs);
    void clearFailures(const QString &subject);

    void createSession(const QByteArray &tokenHash, const SessionRecord &session);
    std::optional<SessionRecord> session(const QByteArray &tokenHash);
    void touchSession(const QByteArray &tokenHash, qint64 nowMs);
    void deleteSession(const QByteArray &tokenHash);
    // Removes sessions idle since `idleBeforeMs` or made before `createdBeforeMs`.
    void purgeSessions(qint64 idleBeforeMs, qint64 createdBeforeMs);

    std::optional<CounterRecord> counter(const QString &name);
    QList<CounterRecord> counters();
    QStringList counterNamesOf(const QString &userName);
    // Creates the counter or replaces all its values, agents included.
    void saveCounter(const CounterRecord &counter);
    bool setOffsets(const QString &name, const QString &leftMm, const QString &topMm);
    bool setCheckCode(const QString &name, const QString &checkCode);

    // Takes `count` consecutive check codes of the counter at once (the window's sequence,
    // 9999 then 0000), so that no two prints anywhere get the same code. Nothing when the
    // counter holds no usable check code. Throws StoreFailure.
    std::optional<CheckCodeReservation> reserveCheckCodes(const QString &name, int count);
    // Puts the counter back to `code` if it still holds `expected` (nobody took a code
    // since); otherwise the codes stay spent, a gap rather than a duplicate.
    void giveBackCheckCodes(const QString &name, const QString &expected, const QString &code);

    void insertJournalEntry(const JournalEntry &entry);
    QList<JournalEntry> journalEntries(const JournalFilter &filter, int limit);
    std::optional<JournalEntry> journalEntry(const QString &id);
    // False when there is no such row or it is void already.
    bool voidJournalEntry(const QString &id, const QString &reason, const QDateTime &when);

private:
    QSqlQuery prepared(const QString &statement);
    void exec(QSqlQuery &query);
    [[noreturn]] void fail(const QSqlError &error);
    void begin();
    void commit();
    void rollback();

    std::unique_ptr<JournalDatabase> m_db;
};

} // namespace itinerary::web
