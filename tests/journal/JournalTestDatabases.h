#pragma once
// The journal tests run on both engines: an SQLite file in a temporary folder, and a fresh
// database on the PostgreSQL server that the test command starts (ITINERARY_TEST_POSTGRES_URL).
// Without that server the PostgreSQL rows skip, unless ITINERARY_TEST_POSTGRES_REQUIRED is
// set: then they fail.
#include "journal/DatabaseAddress.h"
#include "journal/JournalSettings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

namespace itinerary::test {

inline void addEngineColumn() {
    QTest::addColumn<QString>("engine");
}

// The database for `engine`, named in journal.ini in `folder` (the settings folder) when it
// is a server; nothing with `why` when there is no server.
inline std::optional<DatabaseAddress> freshJournalDatabase(const QString &engine,
                                                           const QString &folder, QString *why) {
    if (engine == u"sqlite")
        return DatabaseAddress::sqliteFile(QDir(folder).filePath(QLatin1String(JournalFileName)));
    const QString url = qEnvironmentVariable("ITINERARY_TEST_POSTGRES_URL");
    if (url.isEmpty()) {
        *why = QStringLiteral("no PostgreSQL server: ITINERARY_TEST_POSTGRES_URL is not set "
                              "(scripts/test.sh starts one)");
        return std::nullopt;
    }
    QString error;
    std::optional<DatabaseAddress> admin = DatabaseAddress::parse(url, &error);
    static int made = 0;
    const QString name =
        QStringLiteral("journal_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
        db.setHostName(admin->host);
        db.setPort(admin->port);
        db.setUserName(admin->user);
        db.setDatabaseName(admin->databaseName);
        QSqlQuery query(db);
        if (!db.open() || !query.exec(QStringLiteral("CREATE DATABASE ") + name))
            *why = db.lastError().text() + query.lastError().text();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    if (!why->isEmpty())
        return std::nullopt;
    DatabaseAddress address = *admin;
    address.databaseName = name;
    const QString withName = url.left(url.lastIndexOf(u'/') + 1) + name;
    QFile ini(QDir(folder).filePath(QLatin1String(JournalSettingsFileName)));
    if (!ini.open(QIODevice::WriteOnly) ||
        ini.write("[journal]\ndatabase=" + withName.toUtf8() + "\n") <= 0)
        *why = ini.errorString();
    return address;
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
