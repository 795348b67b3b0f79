// The tickets file and the program's options, without a network.
#include "SiteOptions.h"
#include "TicketFile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace itinerary::site;
using namespace Qt::StringLiterals;

namespace {

// One valid ticket object with `member` (a JSON member text) added, or `segment`/`city`
// members added to its first segment or city.
QByteArray ticketObject(const QByteArray &member = {}, const QByteArray &segment = {},
                        const QByteArray &city = {}) {
    return R"({"ticketNumber": "999-2101234567", "passengerName": "王小明",
        "cities": [{"name": "北京首都T3")" +
           city + R"(}, {"name": "上海虹桥T2"}], "segments": [{"carrier": "国航")" + segment +
           R"(}])" + member + "}";
}

QByteArray ticketJson(const QByteArray &member = {}, const QByteArray &segment = {},
                      const QByteArray &city = {}) {
    return "{\"tickets\": [" + ticketObject(member, segment, city) + "]}";
}

} // namespace

class TestSiteTicketFile final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsAValidTicket() {
        const itinerary::Result<QList<SiteTicket>> result = parseTickets(ticketJson(
            R"(, "endorsement": "不得签转\u00a0改期收费",
               "amounts": {"fare": "CNY\u00a01130.0", "total": "CNY 1180.0"})",
            R"(, "flight": "CA1501", "class": "Y", "baggage": "20K")", R"(, "airport": "PEK")"));
        QVERIFY2(result, qPrintable(result.error()));
        QCOMPARE(result->size(), 1);
        const SiteTicket &t = result->first();
        QCOMPARE(t.ticketNumber, u"9992101234567"_s); // hyphen dropped
        QCOMPARE(t.passengerName, u"王小明"_s);
        QCOMPARE(t.endorsement, u"不得签转\u00a0改期收费"_s);
        QCOMPARE(t.cities.size(), 2);
        QCOMPARE(t.cities.first(), (SiteCity{u"北京首都T3"_s, u"PEK"_s}));
        QCOMPARE(t.segments.first().flight, u"CA1501"_s);
        QCOMPARE(t.segments.first().bookingClass, u"Y"_s);
        QCOMPARE(t.segments.first().date, QString()); // optional texts default to empty
        QCOMPARE(t.fare, u"CNY\u00a01130.0"_s);
        QCOMPARE(t.developmentFund, QString());
        QCOMPARE(t.total, u"CNY 1180.0"_s);
    }

    void rejectsBadFiles_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        // clang-format off
        QTest::newRow("not JSON")           << "{\"tickets\": ["_ba                  << u"not valid JSON at byte"_s;
        QTest::newRow("array at the top")   << "[]"_ba                                << u"non-empty \"tickets\" array"_s;
        QTest::newRow("no tickets")         << "{}"_ba                                << u"non-empty \"tickets\" array"_s;
        QTest::newRow("empty tickets")      << "{\"tickets\": []}"_ba                << u"non-empty \"tickets\" array"_s;
        QTest::newRow("another top key")    << "{\"tickets\": [{}], \"x\": 1}"_ba    << u"\"tickets\" as the only key"_s;
        QTest::newRow("ticket not object")  << "{\"tickets\": [1]}"_ba               << u"ticket 1: must be an object"_s;
        QTest::newRow("number too short")   << ticketJson().replace("999-2101234567", "999-210123456")  << u"ticket 1: \"ticketNumber\" must be 13 digits"_s;
        QTest::newRow("number with letter") << ticketJson().replace("999-2101234567", "999-210123456X") << u"\"ticketNumber\" must be 13 digits"_s;
        QTest::newRow("no name")            << ticketJson().replace("\"passengerName\": \"王小明\",", "") << u"\"passengerName\" must not be empty"_s;
        QTest::newRow("blank name")         << ticketJson().replace("王小明", "  ")  << u"\"passengerName\" must not be empty"_s;
        QTest::newRow("control character")  << ticketJson(R"(, "notice": "a\nb")")  << u"ticket 1: \"notice\" holds a control character"_s;
        QTest::newRow("unknown ticket key") << ticketJson(R"(, "noitce": "x")")      << u"ticket 1: unknown key \"noitce\""_s;
        QTest::newRow("no segments")        << ticketJson().replace("[{\"carrier\": \"国航\"}]", "[]") << u"\"segments\" must be an array of 1 to 8"_s;
        QTest::newRow("nine segments")      << ticketJson().replace("[{\"carrier\": \"国航\"}]", "[{},{},{},{},{},{},{},{},{}]") << u"\"segments\" must be an array of 1 to 8"_s;
        QTest::newRow("segment not object") << ticketJson().replace("[{\"carrier\": \"国航\"}]", "[1]") << u"ticket 1 segment 1: must be an object"_s;
        QTest::newRow("unknown segment key")<< ticketJson({}, R"(, "flihgt": "CA1501")") << u"ticket 1 segment 1: unknown key \"flihgt\""_s;
        QTest::newRow("cities one short")   << ticketJson().replace(", {\"name\": \"上海虹桥T2\"}", "") << u"\"cities\" must list one city more than there are segments"_s;
        QTest::newRow("city without name")  << ticketJson().replace("{\"name\": \"上海虹桥T2\"}", "{\"airport\": \"SHA\"}") << u"ticket 1 city 2: \"name\" must not be empty"_s;
        QTest::newRow("unknown city key")   << ticketJson({}, {}, R"(, "code": "PEK")") << u"ticket 1 city 1: unknown key \"code\""_s;
        QTest::newRow("amounts not object") << ticketJson(R"(, "amounts": "CNY 1")")  << u"ticket 1: \"amounts\" must be an object"_s;
        QTest::newRow("unknown amount key") << ticketJson(R"(, "amounts": {"tax": "1"})") << u"ticket 1 amounts: unknown key \"tax\""_s;
        // clang-format on
        QTest::newRow("same number twice")
            << "{\"tickets\": [" + ticketObject() + ", " + ticketObject() + "]}"
            << u"ticket 2: ticket number 9992101234567 is listed twice"_s;
    }
    void rejectsBadFiles() {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        const itinerary::Result<QList<SiteTicket>> result = parseTickets(json);
        QVERIFY(!result);
        QVERIFY2(result.error().contains(error), qPrintable(result.error()));
    }

    void fileErrorsNameTheFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString missing = dir.filePath(u"missing.json"_s);
        QVERIFY(loadTicketFile(missing).error().startsWith(missing + u": cannot be read"_s));

        const QString broken = dir.filePath(u"broken.json"_s);
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"tickets\": [1]}");
        file.close();
        QCOMPARE(loadTicketFile(broken).error(), broken + u": ticket 1: must be an object"_s);
    }

    void parsesOptions_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("tickets");
        QTest::addColumn<QString>("captcha");
        QTest::addColumn<bool>("help");
        // clang-format off
        QTest::newRow("defaults")       << QStringList()                                            << u"127.0.0.1"_s << 8090  << QString()         << QString()   << false;
        QTest::newRow("free port")      << QStringList{u"--listen"_s, u"127.0.0.1:0"_s}             << u"127.0.0.1"_s << 0     << QString()         << QString()   << false;
        QTest::newRow("equals form")    << QStringList{u"--listen=0.0.0.0:9000"_s}                  << u"0.0.0.0"_s   << 9000  << QString()         << QString()   << false;
        QTest::newRow("ipv6")           << QStringList{u"--listen"_s, u"[::1]:65535"_s}             << u"::1"_s       << 65535 << QString()         << QString()   << false;
        QTest::newRow("localhost")      << QStringList{u"--listen"_s, u"localhost:8091"_s}          << u"127.0.0.1"_s << 8091  << QString()         << QString()   << false;
        QTest::newRow("everything")     << QStringList{u"--tickets"_s, u"t.json"_s, u"--fixed-captcha=AB12"_s, u"--listen"_s, u"127.0.0.1:0"_s}
                                                                                                    << u"127.0.0.1"_s << 0     << u"t.json"_s       << u"AB12"_s   << false;
        QTest::newRow("help")           << QStringList{u"--help"_s}                                 << u"127.0.0.1"_s << 8090  << QString()         << QString()   << true;
        // clang-format on
    }
    void parsesOptions() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, address);
        QFETCH(int, port);
        QFETCH(QString, tickets);
        QFETCH(QString, captcha);
        QFETCH(bool, help);
        const itinerary::Result<SiteOptions> result = parseSiteOptions(arguments);
        QCOMPARE(result.error(), QString());
        QCOMPARE(result->address, QHostAddress(address));
        QCOMPARE(int(result->port), port);
        QCOMPARE(result->ticketsFile, tickets);
        QCOMPARE(result->fixedCaptcha, captcha);
        QCOMPARE(result->help, help);
    }

    void rejectsBadOptions_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        // clang-format off
        QTest::newRow("unknown option")    << QStringList{u"--port"_s, u"1"_s}            << u"Unknown option 'port'."_s;
        QTest::newRow("missing value")     << QStringList{u"--listen"_s}                  << u"Missing value after '--listen'."_s;
        QTest::newRow("no port")           << QStringList{u"--listen"_s, u"127.0.0.1"_s}  << u"--listen expects ADDR:PORT"_s;
        QTest::newRow("port too large")    << QStringList{u"--listen"_s, u"127.0.0.1:65536"_s} << u"--listen expects ADDR:PORT"_s;
        QTest::newRow("host name")         << QStringList{u"--listen"_s, u"example:80"_s} << u"--listen expects ADDR:PORT"_s;
        QTest::newRow("bare ipv6")         << QStringList{u"--listen"_s, u"::1:80"_s}     << u"--listen expects ADDR:PORT"_s;
        QTest::newRow("two-part address")  << QStringList{u"--listen"_s, u"10.1:80"_s}    << u"--listen expects ADDR:PORT"_s;
        QTest::newRow("positional")        << QStringList{u"extra"_s}                     << u"unknown argument: extra"_s;
        QTest::newRow("empty tickets")     << QStringList{u"--tickets="_s}                << u"--tickets needs a file name"_s;
        QTest::newRow("lower-case code")   << QStringList{u"--fixed-captcha"_s, u"ab12"_s} << u"--fixed-captcha expects four"_s;
        QTest::newRow("help with a value") << QStringList{u"--help=yes"_s}                << u"Unexpected value after '--help'."_s;
        QTest::newRow("no connections")    << QStringList{u"--connections-per-address=0"_s} << u"--connections-per-address expects a number"_s;
        // clang-format on
    }
    void rejectsBadOptions() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const QString actual = parseSiteOptions(arguments).error();
        QVERIFY2(actual.startsWith(error), qPrintable(actual));
    }
};

QTEST_GUILESS_MAIN(TestSiteTicketFile)
#include "tst_siteticketfile.moc"
