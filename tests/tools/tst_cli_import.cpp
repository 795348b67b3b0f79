// `itinerary-cli import` as scripts run it: the exact JSON line on standard output, the exit
// statuses, and the ways a booking display reaches it (files, standard input, encodings).
#include "TestPaths.h"

#include "base/TextEncoding.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString cliPath() {
    return QStringLiteral(ITINERARY_BINARY_DIR "/tools/itinerary-cli/itinerary-cli");
}

QString booking(const char *name) {
    return QStringLiteral(ITINERARY_TEST_DATA_DIR "/bookings/") + QLatin1StringView(name);
}

QByteArray readBytes(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(path));
    return file.readAll();
}

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runCli(const QStringList &arguments, const QByteArray &input = {}) {
    QProcess process;
    process.start(cliPath(), QStringList{u"import"_s} + arguments);
    if (!process.waitForStarted(10000))
        qFatal("cannot start %s", qPrintable(cliPath()));
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        qFatal("itinerary-cli did not finish");
    if (process.exitStatus() != QProcess::NormalExit)
        return Run{};
    return Run{process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

const QByteArray OnePassenger =
    R"({"fields":["张三","110101199001011234","不得签转","HXYZ12","HXYZ12","北京   T3","国航","CA1501","Y","2026-05-15","08:00","","20K","上海虹桥   T2","东航","MU5102","B","2026-05-18","19:30","","20K","北京   T2","VOID","","","","","","","VOID","CNY 2130.00","CN 100.00","YQ 160.00","CNY 2390.00","999-2345678901","","","XXX","","","","","","","","","","","","","","","","","","","","","XT 0.00"],"passengers":[["张三","110101199001011234","999-2345678901"]],"current":0,"prev_enabled":false,"next_enabled":false,"messages":[]})"
    "\n";

// The twelve-passenger booking first: its fourth row, its list and its buttons are gone.
const QByteArray ExemptTaxAfterTwelve =
    R"({"fields":["赵敏","370102198808084444","不得签转","MQ2W9Z","MQ2W9Z","济南   T1","山航","SC4651","Y","2026-10-08","15:10","","20K","广州   T2","VOID","","","","","","","VOID","","","","","","","","","CNY 990.00","CN 50.00","YQ 0.00","CNY 1040.00","324-2123456789","","","XXX","","","","","","","","","","","","","","","","","","","","","XT 0.00"],"passengers":[["赵敏","370102198808084444","324-2123456789"]],"current":0,"prev_enabled":false,"next_enabled":false,"messages":[]})"
    "\n";

// Both messages, in order, the second with the default title; the date rolls into January
// of next year.
const QByteArray TwoMessages =
    R"({"fields":["","","不得签转","","","北京   T3","国航","CA1501","Y","2027-01-15","08:00","","20K","上海虹桥   T2","VOID","","","","","","","VOID","","","","","","","","","CNY 0.00","CN 0.00","YQ 0.00","CNY 0.00","","","","XXX","","","","","","","","","","","","","","","","","","","","","XT 0.00"],"passengers":[],"current":0,"prev_enabled":false,"next_enabled":false,"messages":[["错误提示","没有找到航段信息"],["","没有找到乘机人信息"]]})"
    "\n";

const QByteArray EmptyText =
    R"({"fields":["","","不得签转","","","","","","","","","","","","","","","","","","","","","","","","","","","","CNY 0.00","CN 0.00","YQ 0.00","CNY 0.00","","","","XXX","","","","","","","","","","","","","","","","","","","","","XT 0.00"],"passengers":[],"current":0,"prev_enabled":false,"next_enabled":false,"messages":[]})"
    "\n";

} // namespace

class TestCliImport final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(QFile::exists(cliPath()), qPrintable(cliPath())); }

    void printsTheSheet_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray onePassenger = readBytes(booking("one_passenger.txt"));
        QTest::newRow("one file") << QStringList{u"--today"_s, u"2026-05-01"_s,
                                                 booking("one_passenger.txt")}
                                  << QByteArray() << OnePassenger;
        QTest::newRow("standard input")
            << QStringList{u"--today"_s, u"2026-05-01"_s} << onePassenger << OnePassenger;
        QTest::newRow("dash is standard input")
            << QStringList{u"--today=2026-05-01"_s, u"-"_s} << onePassenger << OnePassenger;
        QTest::newRow("byte-order mark dropped")
            << QStringList{u"--today"_s, u"2026-05-01"_s}
            << QByteArray("\xEF\xBB\xBF") + onePassenger << OnePassenger;
        QTest::newRow("GB18030 bytes")
            << QStringList{u"--today"_s, u"2026-05-01"_s}
            << itinerary::encodeGb18030(QString::fromUtf8(onePassenger)) << OnePassenger;
        QTest::newRow("options after files")
            << QStringList{booking("one_passenger.txt"), u"--today"_s, u"2026-05-01"_s}
            << QByteArray() << OnePassenger;
        QTest::newRow("two files on one sheet")
            << QStringList{u"--today"_s, u"2026-05-01"_s, booking("twelve_passengers.txt"),
                           booking("exempt_tax_lf.txt")}
            << QByteArray() << ExemptTaxAfterTwelve;
        QTest::newRow("messages across files")
            << QStringList{u"--today=2026-12-07"_s, booking("no_segment_marker.txt"),
                           booking("no_passenger_dot.txt")}
            << QByteArray() << TwoMessages;
        QTest::newRow("empty input") << QStringList{} << QByteArray() << EmptyText;
    }
    void printsTheSheet() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        const Run run = runCli(arguments, input);
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out, expected);
        QCOMPARE(run.exitCode, 0);
    }

    // Usage errors and unreadable files: status 2, one line on standard error, no sheet.
    void refusesBadInvocations_data() {
        QTest::addColumn<QStringList>("arguments");
        const QString readable = booking("one_passenger.txt");
        QTest::newRow("unknown option") << QStringList{u"--bad"_s, readable};
        QTest::newRow("--today without a date") << QStringList{readable, u"--today"_s};
        QTest::newRow("impossible date") << QStringList{u"--today"_s, u"2026-02-30"_s, readable};
        QTest::newRow("short date") << QStringList{u"--today=2026-5-1"_s, readable};
        QTest::newRow("date and time") << QStringList{u"--today=2026-05-01T10:00"_s, readable};
        QTest::newRow("missing file") << QStringList{booking("no_such_booking.txt")};
        QTest::newRow("a folder") << QStringList{QStringLiteral(ITINERARY_TEST_DATA_DIR)};
        QTest::newRow("second file missing")
            << QStringList{readable, booking("no_such_booking.txt")};
    }
    void refusesBadInvocations() {
        QFETCH(QStringList, arguments);
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith("itinerary-cli: "), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(run.err.endsWith('\n'));
    }

    // A file name that begins with "-" can still be given after "--".
    void doubleDashEndsOptions() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QFile::copy(booking("one_passenger.txt"), dir.filePath(u"-booking.txt"_s)));
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(cliPath(),
                      {u"import"_s, u"--today"_s, u"2026-05-01"_s, u"--"_s, u"-booking.txt"_s});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.readAllStandardOutput(), OnePassenger);
        QCOMPARE(process.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCliImport)
#include "tst_cli_import.moc"
