// itinerary-cli journal and print as processes: print writes the journal named in the user's
// settings folder, journal reads it back filtered, as JSON lines or CSV, on both engines.
#include "JournalTestDatabases.h"
#include "TestPaths.h"

#include "journal/JournalDatabase.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTemporaryDir>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
const QString Cli = QStringLiteral(ITINERARY_BINARY_DIR "/tools/itinerary-cli/itinerary-cli");

struct Run {
    int exitCode = -1;
    QByteArray out;
};

Run runCli(const QStringList &arguments, const QString &configHome) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, configHome);
    process.setProcessEnvironment(environment);
    process.start(Cli, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return Run{};
    return Run{process.exitCode(), process.readAllStandardOutput()};
}

QString closedPortUrl(const QString &scheme, const QString &path) {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return u"%1://127.0.0.1:%2/%3"_s.arg(scheme).arg(server.serverPort()).arg(path);
}

// The "ticketNumber" of each JSON line.
QStringList ticketsOf(const QByteArray &out) {
    QStringList tickets;
    for (const QByteArray &line : out.split('\n')) {
        if (!line.isEmpty())
            tickets.append(
                QJsonDocument::fromJson(line).object().value(u"ticketNumber"_s).toString());
    }
    return tickets;
}
} // namespace

class TestCliJournal final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void printThenRead_data() { test::addEngineRows(); }
    void printThenRead() {
        QFETCH(QString, engine);
        QTemporaryDir home;
        const QString settings = home.filePath(u"itinerary/itinerary"_s);
        QDir().mkpath(settings);
        JOURNAL_TEST_DATABASE(address, engine, settings);
        // The service is down: the first passenger's attempt is a row, "not printed".
        const QString booking =
            QStringLiteral(ITINERARY_TEST_DATA_DIR "/bookings/two_passengers_one_line.txt");
        QCOMPARE(runCli({u"print"_s, u"--service"_s, closedPortUrl(u"http"_s, QString()),
                         u"--check-code"_s, u"0042"_s, booking},
                        home.path())
                     .exitCode,
                 1);
        QString error;
        {
            auto db = test::openJournal(*address, JournalDatabase::Access::ReadWrite, &error);
            JournalEntry older = db->entries({}).value().value(0);
            QCOMPARE(older.message, u"打印服务没有返回图片，未打印"_s);
            QCOMPARE(older.checkCode, u"0042"_s);
            older.id = u"older"_s;
            older.time = older.time.addDays(-3);
            older.ticketNumber = u"999-1111111111"_s;
            QVERIFY(db->insert(older));
        }
        const QString printed = u"784-2101234567"_s;
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(ticketsOf(runCli({u"journal"_s}, home.path()).out),
                 QStringList({u"999-1111111111"_s, printed}));
        QCOMPARE(ticketsOf(runCli({u"journal"_s, u"--from"_s, today}, home.path()).out),
                 QStringList{printed});
        QCOMPARE(ticketsOf(runCli({u"journal"_s, u"--ticket"_s, u"999"_s, u"--name"_s, u"张"_s},
                                  home.path())
                               .out),
                 QStringList{u"999-1111111111"_s});
        const Run csv = runCli({u"journal"_s, u"--csv"_s, u"--to"_s, today}, home.path());
        QCOMPARE(csv.exitCode, 0);
        QVERIFY(csv.out.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(csv.out.count("\r\n"), 3);
        if (address->isServer()) { // named on the command line instead of journal.ini
            QTemporaryDir elsewhere;
            const QStringList database{u"--database"_s, test::testServerUrl(address->databaseName)};
            QCOMPARE(ticketsOf(runCli(QStringList{u"journal"_s} + database, elsewhere.path()).out)
                         .size(),
                     2);
        }
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        const QString garbage =
            QStringLiteral(ITINERARY_TEST_DATA_DIR "/bookings/one_passenger.txt");
        // clang-format off
        QTest::newRow("bad date")        << QStringList{u"--from"_s, u"2026-13-01"_s}             << 2;
        QTest::newRow("unknown option")  << QStringList{u"--bogus"_s}                             << 2;
        QTest::newRow("argument")        << QStringList{u"extra"_s}                               << 2;
        QTest::newRow("unknown kind")    << QStringList{u"--database"_s, u"mysql://db/j"_s}       << 2;
        QTest::newRow("server down")     << QStringList{u"--database"_s, closedPortUrl(u"postgresql"_s, u"j"_s)} << 1;
        QTest::newRow("not a database")  << QStringList{u"--database"_s, u"sqlite://"_s + garbage} << 1;
        QTest::newRow("nothing printed") << QStringList{u"--csv"_s}                               << 0;
        // clang-format on
    }
    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QTemporaryDir home;
        QCOMPARE(runCli(QStringList{u"journal"_s} + arguments, home.path()).exitCode, exitCode);
    }
};

QTEST_GUILESS_MAIN(TestCliJournal)
#include "tst_cli_journal.moc"
