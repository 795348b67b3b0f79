#include "journal/JournalDatabase.h"

#include "journal/JournalSchema.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

using Engine = DatabaseAddress::Engine;

// SQLite waits this long for another process's write to finish before it gives up.
constexpr int SqliteBusyTimeoutMs = 250;

const QString Columns =
    u"entry_id, printed_at, counter_name, printed, message, check_code, ticket_number, "
    "ticket_key, passenger_name, name_key, record_code, total, international, left_offset, "
    "top_offset, printer_name, field_values, voided, void_reason, voided_at, user_name"_s;

// Empty texts are stored as empty texts: Qt would bind a null QString as NULL.
QString notNull(const QString &value) {
    return value.isNull() ? QString(u""_s) : value;
}

QString newConnectionName() {
    static QAtomicInteger<quint64> counter;
    return u"itinerary-journal-%1"_s.arg(counter.fetchAndAddRelaxed(1));
}

QString joinedValues(const QStringList &values) {
    return QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(values)).toJson(QJsonDocument::Compact));
}

QStringList splitValues(const QString &text) {
    QStringList values;
    const QJsonArray array = QJsonDocument::fromJson(text.toUtf8()).array();
    for (const QJsonValue &value : array)
        values.append(value.toString());
    return values;
}

JournalEntry entryFrom(const QSqlQuery &query) {
    const QSqlRecord record = query.record();
    const auto text = [&](const char *name) {
        return query.value(record.indexOf(QLatin1String(name))).toString();
    };
    const auto flag = [&](const char *name) {
        return query.value(record.indexOf(QLatin1String(name))).toInt() != 0;
    };
    JournalEntry entry;
    entry.id = text("entry_id");
    entry.time = QDateTime::fromString(text("printed_at"), Qt::ISODateWithMs);
    entry.counterName = text("counter_name");
    entry.userName = text("user_name");
    entry.printed = flag("printed");
    entry.message = text("message");
    entry.checkCode = text("check_code");
    entry.ticketNumber = text("ticket_number");
    entry.passengerName = text("passenger_name");
    entry.recordCode = text("record_code");
    entry.total = text("total");
    entry.international = flag("international");
    entry.leftOffsetMm = text("left_offset");
    entry.topOffsetMm = text("top_offset");
    entry.printerName = text("printer_name");
    entry.fieldValues = splitValues(text("field_values"));
    entry.voided = flag("voided");
    entry.voidReason = text("void_reason");
    entry.voidedAt = text("voided_at");
    return entry;
}

// A new journal file is made readable and writable by its owner only (it holds passengers'
// names and ticket numbers); SQLite gives its -wal and -shm files the same permissions.
Result<> createPrivateFile(const QString &path) {
    if (QFileInfo::exists(path))
        return succeeded();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Result<>::failure(
            u"无法建立文件夹 %1"_s.arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
    QFile file(path);
    // Another process may have made it first: fine.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
        !QFileInfo::exists(path))
        return Result<>::failure(
            u"无法建立记录文件 %1：%2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
    return succeeded();
}

// The driver's text on one line: libpq's run over several ("...failed: Connection refused",
// "\tIs the server running...", the driver's own), and the log holds one line per event.
QString oneLine(const QString &text) {
    QStringList lines;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line = line.trimmed(); !line.isEmpty())
            lines.append(line.toString());
    }
    return lines.join(u' ');
}

} // namespace

QString describeDatabaseError(const DatabaseAddress &address, const QSqlError &error) {
    const QString detail = oneLine(error.text());
    if (address.engine == Engine::Postgresql) {
        if (error.type() == QSqlError::ConnectionError)
            return u"无法连接记录数据库 %1（%2）"_s.arg(address.displayName(), detail);
        return u"记录数据库 %1 出错（%2）"_s.arg(address.displayName(), detail);
    }
    const QString file = address.displayName();
    switch (error.nativeErrorCode().toInt() & 0xff) {
    case 5:
    case 6:
        return u"记录文件被其他程序占用：%1"_s.arg(file);
    case 8:
        return u"记录文件只读：%1"_s.arg(file);
    case 13:
        return u"磁盘已满：%1"_s.arg(file);
    case 14:
        return u"无法打开记录文件：%1"_s.arg(file);
    default:
        return u"记录文件 %1 出错（%2）"_s.arg(file, detail);
    }
}

JournalDatabase::JournalDatabase(const DatabaseAddress &address, QSqlDatabase db)
    : m_address(address)
    , m_connectionName(db.connectionName())
    , m_db(std::move(db)) {}

JournalDatabase::~JournalDatabase() {
    m_insert.reset();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

Result<std::unique_ptr<JournalDatabase>>
JournalDatabase::open(const DatabaseAddress &address, Access access, DatabaseLimits limits) {
    using Opened = Result<std::unique_ptr<JournalDatabase>>;
    const bool server = address.engine == Engine::Postgresql;
    const QString driver = server ? u"QPSQL"_s : u"QSQLITE"_s;
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        return Opened::failure(u"缺少数据库驱动 %1（请安装 %2）"_s.arg(
            driver, server ? u"libqt6sql6-psql"_s : u"libqt6sql6-sqlite"_s));
    }
    if (!server && access == Access::ReadWrite) {
        if (const Result<> made = createPrivateFile(address.sqlitePath); !made)
            return Opened::failure(made.error());
    }

    std::unique_ptr<JournalDatabase> journal(
        new JournalDatabase(address, QSqlDatabase::addDatabase(driver, newConnectionName())));
    QSqlDatabase &db = journal->m_db;
    if (server) {
        db.setHostName(address.host);
        db.setPort(address.port);
        db.setUserName(address.user);
        db.setPassword(address.password);
        db.setDatabaseName(address.databaseName);
        // A server that does not answer must not hold the caller for long: bounded connect,
        // keepalives and a user timeout for a connection that goes quiet, a statement limit.
        QStringList options{u"connect_timeout=%1"_s.arg(limits.connectTimeoutSeconds),
                            u"keepalives_idle=10"_s,
                            u"keepalives_interval=5"_s,
                            u"keepalives_count=2"_s,
                            u"tcp_user_timeout=%1"_s.arg(limits.statementTimeoutMs),
                            u"options='-c statement_timeout=%1'"_s.arg(limits.statementTimeoutMs)};
        options += address.options;
        db.setConnectOptions(options.join(u';'));
    } else {
        db.setDatabaseName(address.sqlitePath);
        QString options = u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(SqliteBusyTimeoutMs);
        if (access == Access::ReadOnly)
            options += u";QSQLITE_OPEN_READONLY"_s;
        db.setConnectOptions(options);
    }
    if (!db.open())
        return Opened::failure(describeDatabaseError(address, db.lastError()));
    if (!server) {
        if (const Result<> prepared = journal->prepareSqlite(access); !prepared)
            return Opened::failure(prepared.error());
    }
    if (access == Access::ReadWrite) {
        if (const Result<> upgraded = upgradeSchema(db, address.engine); !upgraded) {
            return Opened::failure(describeDatabaseError(
                address, QSqlError(upgraded.error(), QString(), QSqlError::StatementError,
                                   db.lastError().nativeErrorCode())));
        }
    }
    if (const Result<> read = journal->readSchemaVersion(); !read)
        return Opened::failure(read.error());
    return journal;
}

Result<> JournalDatabase::prepareSqlite(Access access) {
    if (access == Access::ReadOnly)
        return succeeded();
    QSqlQuery query(m_db);
    // WAL: the journal window reads while a print writes. A commit is in the log file before
    // the print goes on, so a crash of the program loses no row; the log reaches the disk at
    // checkpoints rather than at every commit (waiting for the disk took ~4 ms a receipt
    // here), so a power cut may lose the rows of the last moments.
    if (!query.exec(u"PRAGMA journal_mode=WAL"_s) || !query.exec(u"PRAGMA synchronous=NORMAL"_s))
        return Result<>::failure(describeDatabaseError(m_address, query.lastError()));
    return succeeded();
}

Result<> JournalDatabase::readSchemaVersion() {
    const Result<int> version = storedSchemaVersion(m_db);
    if (!version)
        return Result<>::failure(describeDatabaseError(m_address, QSqlError(version.error())));
    if (*version > JournalSchemaVersion)
        return Result<>::failure(
            u"记录数据库 %1 由较新版本的程序建立，请升级本程序"_s.arg(m_address.displayName()));
    m_hasTables = *version > 0;
    return succeeded();
}

Result<> JournalDatabase::insert(const JournalEntry &entry) {
    if (!m_insert) {
        m_insert = std::make_unique<QSqlQuery>(m_db);
        if (!m_insert->prepare(u"INSERT INTO print_journal (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, "
                               "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                               "ON CONFLICT (entry_id) DO NOTHING"_s.arg(Columns))) {
            const QSqlError error = m_insert->lastError();
            m_insert.reset();
            return Result<>::failure(describeDatabaseError(m_address, error));
        }
    }
    QSqlQuery &q = *m_insert;
    q.bindValue(0, notNull(entry.id));
    q.bindValue(1, entry.timeText());
    q.bindValue(2, notNull(entry.counterName));
    q.bindValue(3, entry.printed ? 1 : 0);
    q.bindValue(4, notNull(entry.message));
    q.bindValue(5, notNull(entry.checkCode));
    q.bindValue(6, notNull(entry.ticketNumber));
    q.bindValue(7, notNull(entry.ticketKey()));
    q.bindValue(8, notNull(entry.passengerName));
    q.bindValue(9, notNull(entry.nameKey()));
    q.bindValue(10, notNull(entry.recordCode));
    q.bindValue(11, notNull(entry.total));
    q.bindValue(12, entry.international ? 1 : 0);
    q.bindValue(13, notNull(entry.leftOffsetMm));
    q.bindValue(14, notNull(entry.topOffsetMm));
    q.bindValue(15, notNull(entry.printerName));
    q.bindValue(16, joinedValues(entry.fieldValues));
    q.bindValue(17, entry.voided ? 1 : 0);
    q.bindValue(18, notNull(entry.voidReason));
    q.bindValue(19, notNull(entry.voidedAt));
    q.bindValue(20, notNull(entry.userName));
    if (q.exec())
        return succeeded();
    const QString error = describeDatabaseError(m_address, q.lastError());
    // A connection that failed is prepared again next time (the server may have restarted).
    m_insert.reset();
    return Result<>::failure(error);
}

Result<> JournalDatabase::markVoid(const QString &entryId, const QString &reason,
                                   const QDateTime &when) {
    QSqlQuery query(m_db);
    query.prepare(u"UPDATE print_journal SET voided = 1, void_reason = ?, voided_at = ? "
                  "WHERE entry_id = ? AND voided = 0"_s);
    query.addBindValue(notNull(reason));
    query.addBindValue(timeWithOffset(when));
    query.addBindValue(entryId);
    if (!query.exec())
        return Result<>::failure(describeDatabaseError(m_address, query.lastError()));
    if (query.numRowsAffected() != 1)
        return Result<>::failure(u"这条记录不存在或已作废"_s);
    return succeeded();
}

QSqlQuery JournalDatabase::selectQuery(const QString &columns, const JournalFilter &filter,
                                       bool newestFirst, int limit) const {
    QVariantList values;
    const QString order =
        newestFirst ? u" ORDER BY printed_at DESC, seq DESC"_s : u" ORDER BY printed_at, seq"_s;
    QSqlQuery query(m_db);
    const QString limitClause = limit > 0 ? u" LIMIT %1"_s.arg(limit) : QString();
    query.prepare(u"SELECT %1 FROM print_journal"_s.arg(columns) + filter.whereClause(&values) +
                  order + limitClause);
    for (const QVariant &value : std::as_const(values))
        query.addBindValue(value);
    return query;
}

Result<QList<JournalEntry>> JournalDatabase::entries(const JournalFilter &filter, bool newestFirst,
                                                     int limit) {
    using Rows = Result<QList<JournalEntry>>;
    QList<JournalEntry> rows;
    if (!m_hasTables)
        return rows;
    QSqlQuery query = selectQuery(Columns, filter, newestFirst, limit);
    query.setForwardOnly(true);
    if (!query.exec())
        return Rows::failure(describeDatabaseError(m_address, query.lastError()));
    while (query.next())
        rows.append(entryFrom(query));
    if (query.lastError().isValid())
        return Rows::failure(describeDatabaseError(m_address, query.lastError()));
    return rows;
}

Result<JournalEntry> JournalDatabase::entry(const QString &entryId) {
    QSqlQuery query(m_db);
    query.prepare(u"SELECT %1 FROM print_journal WHERE entry_id = ?"_s.arg(Columns));
    query.addBindValue(entryId);
    if (!query.exec())
        return Result<JournalEntry>::failure(describeDatabaseError(m_address, query.lastError()));
    if (!query.next())
        return Result<JournalEntry>::failure(u"这条记录不存在"_s);
    return entryFrom(query);
}

Result<qint64> JournalDatabase::count() {
    if (!m_hasTables)
        return qint64(0);
    QSqlQuery query(m_db);
    if (!query.exec(u"SELECT COUNT(*) FROM print_journal"_s) || !query.next())
        return Result<qint64>::failure(describeDatabaseError(m_address, query.lastError()));
    return query.value(0).toLongLong();
}

} // namespace itinerary
