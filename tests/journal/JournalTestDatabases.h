#pragma once
// Journal tests run on an SQLite file and on a fresh database of the test command's server
// (ITINERARY_TEST_POSTGRES_URL); without it they skip, or fail if ..._REQUIRED is set.
#include "base/Clock.h"
#include "journal/DatabaseAddress.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalSettings.h"
#include "journal/PrintJournal.h"
#include "print/PictureLoader.h"
#include "print/ReceiptPictures.h"
#include "print/ReceiptPrinter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

namespace itinerary::test {

// A picture for every request, and paper that takes every page: printing without a service.
class AnyPicture final : public PictureLoader {
public:
    void loadPicture(const QString &, const QObject *, Done done) override { done("\x89PNG"); }
};
struct AnyPictures {
    AnyPicture loader;
    SystemClock clock;
    ReceiptPictures pictures{loader, clock};
    operator const ReceiptPictures &() const { return pictures; }
};
class Paper final : public ReceiptPrinter {
public:
    bool printPicture(const QByteArray &, int, int) override { return ++pages > 0; }
    QString printerName() const override { return QStringLiteral("柜台打印机"); }
    int pages = 0;
};

// Sends what the journal keeps back and waits, bounded, for the end: true once every row is
// in the database.
inline bool waitUntilSent(PrintJournal &journal, int timeoutMs) {
    auto complete = std::make_shared<std::optional<bool>>();
    journal.sendAll(&journal, [complete](bool sent) { *complete = sent; });
    (void)QTest::qWaitFor([&] { return complete->has_value(); }, timeoutMs);
    return complete->value_or(false);
}

// The journal's database, or null with `why` (or a warning) when it cannot be opened.
inline std::unique_ptr<JournalDatabase> openJournal(const DatabaseAddress &address,
                                                    JournalDatabase::Access access,
                                                    QString *why = nullptr) {
    Result<std::unique_ptr<JournalDatabase>> opened = JournalDatabase::open(address, access);
    if (opened)
        return *std::move(opened);
    if (why != nullptr)
        *why = opened.error();
    else
        qWarning("%s", qPrintable(opened.error()));
    return nullptr;
}

// The "engine" column with a row for each.
inline void addEngineRows() {
    QTest::addColumn<QString>("engine");
    QTest::newRow("sqlite") << QStringLiteral("sqlite");
    QTest::newRow("postgresql") << QStringLiteral("postgresql");
}

// The test server's address for database `name`.
inline QString testServerUrl(const QString &name) {
    const QString url = qEnvironmentVariable("ITINERARY_TEST_POSTGRES_URL");
    return url.left(url.lastIndexOf(u'/') + 1) + name;
}

// The database for `engine`, named in journal.ini in `folder` (the settings folder) when it
// is a server; nothing with `why` when there is no server.
inline std::optional<DatabaseAddress> freshJournalDatabase(const QString &engine,
                                                           const QString &folder, QString *why) {
    if (engine == u"sqlite")
        return DatabaseAddress::sqliteFile(QDir(folder).filePath(QLatin1String(JournalFileName)));
    Result<DatabaseAddress> address =
        DatabaseAddress::parse(qEnvironmentVariable("ITINERARY_TEST_POSTGRES_URL"));
    *why = address.error();
    static int made = 0;
    const QString name =
        QStringLiteral("journal_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    auto admin = address ? openJournal(*address, JournalDatabase::Access::ReadOnly, why) : nullptr;
    QFile ini(QDir(folder).filePath(QLatin1String(JournalSettingsFileName)));
    if (!admin || !QSqlQuery(admin->connection()).exec(QStringLiteral("CREATE DATABASE ") + name) ||
        !ini.open(QIODevice::WriteOnly) ||
        ini.write("[journal]\ndatabase=" + testServerUrl(name).toUtf8() + "\n") <= 0) {
        *why = QStringLiteral("no PostgreSQL server at ITINERARY_TEST_POSTGRES_URL "
                              "(scripts/test.sh starts one): ") +
               *why;
        return std::nullopt;
    }
    address->databaseName = name;
    return *address;
}

// Stops or starts the test command's server again (a fault test).
inline bool controlTestServer(const char *variable) {
    const QString command = qEnvironmentVariable(variable);
    return !command.isEmpty() &&
           QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"), command}) == 0;
}

} // namespace itinerary::test

// Declares `address` for the row's engine, or skips (fails, when a server is required).
#define JOURNAL_TEST_DATABASE(address, engine, folder)                                             \
    QString whyNot_;                                                                               \
    const std::optional<DatabaseAddress> address =                                                 \
        itinerary::test::freshJournalDatabase(engine, folder, &whyNot_);                           \
    if (!address) {                                                                                \
        if (qEnvironmentVariableIsSet("ITINERARY_TEST_POSTGRES_REQUIRED"))                         \
            QFAIL(qPrintable(whyNot_));                                                            \
        QSKIP(qPrintable(whyNot_));                                                                \
    }
