#include "journal/JournalOutbox.h"

#include "journal/JournalDatabase.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {
// Rows sent per round, so that a long outage's backlog moves in steps.
constexpr int SendBatch = 200;

QString newConnectionName() {
    static QAtomicInteger<quint64> counter;
    return u"itinerary-outbox-%1"_s.arg(counter.fetchAndAddRelaxed(1));
}

QString describe(const QString &path, const QSqlError &error) {
    return describeDatabaseError(DatabaseAddress::sqliteFile(path), error);
}
} // namespace

JournalOutbox::JournalOutbox(QSqlDatabase db)
    : m_connectionName(db.connectionName())
    , m_db(std::move(db)) {}

JournalOutbox::~JournalOutbox() {
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

Result<std::unique_ptr<JournalOutbox>> JournalOutbox::open(const QString &path) {
    using Opened = Result<std::unique_ptr<JournalOutbox>>;
    if (!QSqlDatabase::isDriverAvailable(u"QSQLITE"_s))
        return Opened::failure(u"缺少数据库驱动 QSQLITE（请安装 libqt6sql6-sqlite）"_s);
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        // Owner-only, like the journal: the rows name passengers.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
            !QFileInfo::exists(path)) {
            return Opened::failure(
                u"无法建立文件 %1：%2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
        }
    }
    std::unique_ptr<JournalOutbox> outbox(
        new JournalOutbox(QSqlDatabase::addDatabase(u"QSQLITE"_s, newConnectionName())));
    outbox->m_path = path;
    QSqlDatabase &db = outbox->m_db;
    db.setDatabaseName(path);
    db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=2000"_s);
    QSqlQuery query(db);
    if (!db.open() || !query.exec(u"PRAGMA journal_mode=WAL"_s) ||
        !query.exec(u"PRAGMA synchronous=NORMAL"_s) ||
        !query.exec(u"CREATE TABLE IF NOT EXISTS outbox (entry_id TEXT PRIMARY KEY, "
                    "entry TEXT NOT NULL)"_s)) {
        return Opened::failure(describe(path, db.isOpen() ? query.lastError() : db.lastError()));
    }
    return outbox;
}

Result<> JournalOutbox::add(const JournalEntry &entry) {
    QSqlQuery query(m_db);
    query.prepare(u"INSERT INTO outbox (entry_id, entry) VALUES (?, ?) "
                  "ON CONFLICT (entry_id) DO NOTHING"_s);
    query.addBindValue(entry.id);
    query.addBindValue(
        QString::fromUtf8(QJsonDocument(entry.toJson()).toJson(QJsonDocument::Compact)));
    if (query.exec())
        return succeeded();
    return Result<>::failure(describe(m_path, query.lastError()));
}

Result<qint64> JournalOutbox::pendingCount() {
    QSqlQuery query(m_db);
    if (!query.exec(u"SELECT COUNT(*) FROM outbox"_s) || !query.next())
        return Result<qint64>::failure(describe(m_path, query.lastError()));
    return query.value(0).toLongLong();
}

JournalOutbox::SendResult JournalOutbox::sendTo(JournalDatabase &database) {
    SendResult result;
    qint64 after = 0;
    bool skipped = false;
    for (;;) {
        struct Waiting {
            qint64 rowid;
            QString id;
            QString json;
        };
        QList<Waiting> batch;
        {
            QSqlQuery query(m_db);
            query.setForwardOnly(true);
            query.prepare(u"SELECT rowid, entry_id, entry FROM outbox WHERE rowid > ? "
                          "ORDER BY rowid LIMIT %1"_s.arg(SendBatch));
            query.addBindValue(after);
            if (!query.exec()) {
                result.error = describe(m_path, query.lastError());
                return result;
            }
            while (query.next())
                batch.append({query.value(0).toLongLong(), query.value(1).toString(),
                              query.value(2).toString()});
        }
        if (batch.isEmpty()) {
            result.complete = !skipped;
            return result;
        }
        QSqlQuery remove(m_db);
        remove.prepare(u"DELETE FROM outbox WHERE rowid = ?"_s);
        for (const Waiting &waiting : std::as_const(batch)) {
            after = waiting.rowid;
            const std::optional<JournalEntry> entry =
                JournalEntry::fromJson(QJsonDocument::fromJson(waiting.json.toUtf8()).object());
            // A row that no longer reads (a damaged file) stays where it is, never dropped
            // silently; the others go on.
            if (!entry) {
                skipped = true;
                result.error = u"暂存的记录 %1 无法读取"_s.arg(waiting.id);
                continue;
            }
            if (const Result<> inserted = database.insert(*entry); !inserted) {
                result.error = inserted.error();
                return result;
            }
            remove.addBindValue(waiting.rowid);
            if (!remove.exec()) {
                result.error = describe(m_path, remove.lastError());
                return result;
            }
            ++result.sent;
        }
    }
}

} // namespace itinerary
