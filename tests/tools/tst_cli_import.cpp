// `itinerary-cli import` as scripts run it: the exact JSON line on standard output, the exit
// statuses, and the ways a booking display reaches it (files, standard input, encodings).
#include "TestPaths.h"

#include "base/TextEncoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// The sheet `itinerary-cli import` prints, as one JSON line, kept as the expected output.
QString sheet(const char *name) {
    return QStringLiteral(ITINERARY_TEST_DATA_DIR "/sheets/") + QLatin1StringView(name);
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

// The tool with `configHome` as the user's configuration folder (the agency's codes.txt).
Run runTool(const QStringList &arguments, const QString &configHome, const QByteArray &input = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, configHome);
    process.setProcessEnvironment(environment);
    process.start(cliPath(), arguments);
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

// `import` with an empty configuration folder: no agency codes.
Run runCli(const QStringList &arguments, const QByteArray &input = {}) {
    static const QTemporaryDir noSettings;
    return runTool(QStringList{u"import"_s} + arguments, noSettings.path(), input);
}

const QByteArray AgencyCodes = "PEK 北京首都机场\n坏行\nQQQ 某新机场\nzz 某航\n";

const QByteArray OnePassenger = readBytes(sheet("one_passenger.json"));

// The twelve-passenger booking first: its fourth row, its list and its buttons are gone.
const QByteArray ExemptTaxAfterTwelve = readBytes(sheet("exempt_tax_after_twelve.json"));

// Both messages, in order, the second with the default title; the date rolls into January
// of next year.
const QByteArray TwoMessages = readBytes(sheet("two_messages.json"));

const QByteArray EmptyText = readBytes(sheet("empty_text.json"));

// A cancelled flight and a surface segment left out, a date of next year, codes missing from
// the tables, international terminals, passports and tickets from their elements.
const QByteArray International = readBytes(sheet("international.json"));

// One fare row per entry: the adult's, the child's and the infant's.
const QByteArray FamilyFares = readBytes(sheet("family_fares.json"));

// A tour group's line gives the record code and no passenger.
const QByteArray TourGroup =
    R"({"fields":["CHEN/JIANGUO","EA1000001","不得签转","KQ4M7X","KQ4M7X","上海浦东   T1","东航","MU5041","Y","2026-06-20","09:05","","20K","首尔仁川   T1","东航","MU5042","Y","2026-06-27","13:30","","20K","上海浦东   T1","VOID","","","","","","","VOID","CNY 2350.00","CN 90.00","YQ 280.00","CNY 2856.00","781-2400100001","","","XXX","","","","","","","","","","","","","","","","","","","","","XT 136.00"],"passengers":[["CHEN/JIANGUO","EA1000001","781-2400100001"],["CHEN/XIULAN","EA1000002","781-2400100002"],["DENG/HAIBO","EA1000003","781-2400100003"],["FANG/LIJUAN","EA1000004","781-2400100004"],["GAO/ZHIQIANG","EA1000005","781-2400100005"],["GUO/MEIHUA","EA1000006","781-2400100006"],["HE/JUNJIE","EA1000007","781-2400100007"],["HU/YUFEN","EA1000008","781-2400100008"]],"current":0,"prev_enabled":false,"next_enabled":true,"messages":[],"fares":[null,null,null,null,null,null,null,null]})"
    "\n";

const QByteArray GroupWithoutNames =
    R"({"fields":["","","不得签转","KQ5N8Y","KQ5N8Y","北京   T3","国航","CA1501","Y","2026-06-16","08:00","","20K","上海虹桥   T2","VOID","","","","","","","VOID","","","","","","","","","CNY 0.00","CN 0.00","YQ 0.00","CNY 0.00","","","","XXX","","","","","","","","","","","","","","","","","","","","","XT 0.00"],"passengers":[],"current":0,"prev_enabled":false,"next_enabled":false,"messages":[["","没有找到乘机人信息"]],"fares":[]})"
    "\n";

// February and June seen in December, both next year; terminals without the meal column.
const QByteArray AcrossTheYear =
    R"({"fields":["HUANG/ZHIYUAN","110108197911235518","不得签转","KL9V4E","KL9V4E","北京   T3","国航","CA4172","Q","2027-02-25","11:50","","20K","昆明   ","国航","CA4173","Q","2027-06-28","16:40","","20K","北京   T3","VOID","","","","","","","VOID","CNY 1940.00","CN 100.00","YQ 60.00","CNY 2100.00","999-2450000001","","","XXX","","","","","","","","","","","","","","","","","","","","","XT 0.00"],"passengers":[["HUANG/ZHIYUAN","110108197911235518","999-2450000001"]],"current":0,"prev_enabled":false,"next_enabled":false,"messages":[],"fares":[null]})"
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
        QTest::newRow("international display")
            << QStringList{u"--today=2026-12-07"_s, booking("international.txt")} << QByteArray()
            << International;
        QTest::newRow("fares of a family")
            << QStringList{u"--today=2026-05-01"_s, booking("family_fares.txt")} << QByteArray()
            << FamilyFares;
        QTest::newRow("tour group")
            << QStringList{u"--today=2026-05-01"_s, booking("group_tour.txt")} << QByteArray()
            << TourGroup;
        QTest::newRow("group without names")
            << QStringList{u"--today=2026-05-01"_s, booking("group_no_names.txt")} << QByteArray()
            << GroupWithoutNames;
        QTest::newRow("trip across the year")
            << QStringList{u"--today=2026-12-08"_s, booking("across_year.txt")} << QByteArray()
            << AcrossTheYear;
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

    // `codes` and `import` name codes from the built-in tables and the agency's codes.txt;
    // each line of the file that is no entry is named on standard error.
    void codesFromTheAgencyFile_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("out"); // what standard output holds, or starts with
        QTest::addColumn<int>("exitCode");
        QTest::newRow("codes: each source")
            << u"codes pek QQQ SHA YVR zzz ZZ ca 12 1AB"_s.split(u' ')
            << QByteArray("PEK\t北京首都机场\tcodes.txt\nQQQ\t某新机场\tcodes.txt\n"
                          "SHA\t上海虹桥\tbuilt-in\nYVR\t温哥华\tbuilt-in\nZZZ\tZZZ\tnone\n"
                          "ZZ\t某航\tcodes.txt\nCA\t国航\tbuilt-in\n12\t未知\tnone\n1AB\t\tnone\n")
            << 0;
        QTest::newRow("codes: every entry")
            << QStringList{u"codes"_s} << QByteArray("AKU\t阿克苏\tbuilt-in\nAAT\t阿勒泰\t") << 0;
        QTest::newRow("import")
            << QStringList{u"import"_s, u"--today=2026-05-01"_s, booking("one_passenger.txt")}
            << QByteArray(
                   R"({"fields":["张三","110101199001011234","不得签转","HXYZ12","HXYZ12","北京首都机场   T3","国航")")
            << 0;
        QTest::newRow("codes: one character") << u"codes PEK P"_s.split(u' ') << QByteArray() << 2;
    }
    void codesFromTheAgencyFile() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, out);
        QFETCH(int, exitCode);
        QTemporaryDir configHome;
        const QString codesFile = configHome.filePath(u"itinerary/itinerary/codes.txt"_s);
        QVERIFY(QDir().mkpath(QFileInfo(codesFile).path()));
        {
            QFile file(codesFile);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(AgencyCodes) > 0);
        }
        const Run run = runTool(arguments, configHome.path());
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode != 0) {
            QCOMPARE(run.out, QByteArray());
            QVERIFY2(run.err.startsWith("itinerary-cli: codes: "), run.err.constData());
            return;
        }
        QVERIFY2(run.out.startsWith(out), run.out.constData());
        QCOMPARE(run.err, u"itinerary-cli: %1: %2:2: not a code and a name, line ignored\n"_s
                              .arg(arguments.first(), codesFile)
                              .toUtf8());
        if (arguments.size() == 1) // every entry: a new airport after the other airports
            QVERIFY(run.out.contains("\nQQQ\t某新机场\tcodes.txt\nCA\t国航\tbuilt-in\n"));
    }
};

QTEST_GUILESS_MAIN(TestCliImport)
#include "tst_cli_import.moc"
