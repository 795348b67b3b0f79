// itinerary-web through its real server on loopback, on SQLite and on the test command's
// PostgreSQL server: every endpoint's answer and refusal, the import against the command
// line's, the printed PDF's page and offsets, check codes under concurrent prints, the
// session rules, and a counter that prints on a CUPS queue.
#include "../journal/JournalTestDatabases.h"
#include "PrintedPdf.h"
#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <csignal>
#include <sys/prctl.h>

using namespace itinerary;
using namespace itinerary::test;
using namespace Qt::StringLiterals;

namespace {

const QString WebProgram = u"" ITINERARY_BINARY_DIR "/tools/itinerary-web/itinerary-web"_s;
const QString CliProgram = u"" ITINERARY_BINARY_DIR "/tools/itinerary-cli/itinerary-cli"_s;
const QString Bookings = u"" ITINERARY_TEST_DATA_DIR "/bookings/"_s;

QByteArray bookingText(const QString &name) {
    QFile file(Bookings + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Reply {
    int status = 0;
    QByteArray body;
    QList<QNetworkReply::RawHeaderPair> headers;
    QByteArray header(const QByteArray &name) const {
        for (const auto &[key, value] : headers) {
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return QByteArray();
    }
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

// One browser: its own cookies and the CSRF token its login gave.
class Client {
public:
    explicit Client(const QUrl &base)
        : m_base(base) {}

    QNetworkReply *start(const QByteArray &method, const QString &path, const QByteArray &body,
                         const QList<std::pair<QByteArray, QByteArray>> &headers = {}) {
        QNetworkRequest request(m_base.resolved(QUrl(path)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        if (!csrf.isEmpty())
            request.setRawHeader("X-CSRF-Token", csrf);
        for (const auto &[name, value] : headers)
            request.setRawHeader(name, value);
        return method == "GET" ? m_nam->get(request)
                               : m_nam->sendCustomRequest(request, method, body);
    }
    static Reply finish(QNetworkReply *reply) {
        if (!reply->isFinished())
            QSignalSpy(reply, &QNetworkReply::finished).wait(60000);
        Reply r{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                reply->readAll(), reply->rawHeaderPairs()};
        reply->deleteLater();
        return r;
    }
    Reply send(const QByteArray &method, const QString &path, const QByteArray &body = {},
               const QList<std::pair<QByteArray, QByteArray>> &headers = {}) {
        return finish(start(method, path, body, headers));
    }
    Reply login(const QString &user, const QString &password) {
        const Reply reply =
            send("POST", u"api/login"_s,
                 QJsonDocument(QJsonObject{{u"user"_s, user}, {u"password"_s, password}}).toJson());
        csrf = reply.json().value(u"csrf"_s).toString().toLatin1();
        return reply;
    }

    QByteArray csrf;

private:
    QUrl m_base;
    std::unique_ptr<QNetworkAccessManager> m_nam = std::make_unique<QNetworkAccessManager>();
};

// A running itinerary-web with its own settings folder and database.
struct Server {
    QTemporaryDir folder;
    QString database;
    std::unique_ptr<QProcess> process;
    QUrl base;

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, folder.path());
        return env;
    }
    int run(const QStringList &arguments, const QByteArray &input = {}) const {
        QProcess command;
        command.setProcessEnvironment(environment());
        command.start(WebProgram, arguments + QStringList{u"--database"_s, database});
        command.write(input);
        command.closeWriteChannel();
        command.waitForFinished(60000);
        return command.exitStatus() == QProcess::NormalExit ? command.exitCode() : -1;
    }
    bool start(const QStringList &options) {
        // The agency's codes, read by the same core as the window's and the command line's.
        const QString codes = folder.filePath(u"itinerary/itinerary/codes.txt"_s);
        QFile file(codes);
        if (!QDir().mkpath(QFileInfo(codes).path()) || !file.open(QIODevice::WriteOnly) ||
            file.write("PEK 京城机场\n") <= 0)
            return false;
        file.close();
        process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A test that dies takes its servers along.
        process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process->start(WebProgram, options + QStringList{u"--listen"_s, u"127.0.0.1:0"_s,
                                                         u"--database"_s, database});
        if (!process->waitForReadyRead(60000))
            return false;
        base = QUrl(QString::fromLatin1(process->readLine().trimmed()));
        return base.isValid();
    }
    ~Server() {
        if (process) {
            process->terminate();
            process->waitForFinished(10000);
        }
    }
};

const QByteArray Password = "counter-password";

} // namespace

// The server of `engine` (with options) as `name`, or the test skips or fails.
#define SERVER(name, engine, ...)                                                                  \
    Server *name = server(engine, ##__VA_ARGS__);                                                  \
    if (!name) {                                                                                   \
        if (engine == u"sqlite" || qEnvironmentVariableIsSet("ITINERARY_TEST_POSTGRES_REQUIRED"))  \
            QFAIL("the server did not start");                                                     \
        QSKIP("no PostgreSQL server for the tests");                                               \
    }

class TestWebService : public QObject {
    Q_OBJECT

    std::map<QString, std::unique_ptr<Server>> m_servers; // by engine
    std::map<QString, std::unique_ptr<Client>> m_clients;
    QByteArray m_sheet; // an imported two-passenger sheet

    // The server of the row's engine, with users (root admin, sup supervisor, amy and bob
    // agents) and counters (A1: amy and bob; B1: nobody).
    Server *server(const QString &engine, const QStringList &options = {}) {
        auto &slot = m_servers[engine + options.join(u' ')];
        if (slot)
            return slot.get();
        auto made = std::make_unique<Server>();
        QString why;
        const std::optional<DatabaseAddress> address =
            freshJournalDatabase(engine, made->folder.path(), &why);
        if (!address)
            return nullptr;
        made->database = address->isServer() ? testServerUrl(address->databaseName)
                                             : u"sqlite://"_s + address->sqlitePath;
        const QList<std::pair<QString, QString>> users{{u"root"_s, u"admin"_s},
                                                       {u"sup"_s, u"supervisor"_s},
                                                       {u"amy"_s, u"agent"_s},
                                                       {u"bob"_s, u"agent"_s}};
        for (const auto &[name, role] : users) {
            if (made->run({u"adduser"_s, name, u"--role"_s, role}, Password + '\n') != 0)
                return nullptr;
        }
        if (made->run({u"addcounter"_s, u"A1"_s, u"--check-code"_s, u"0001"_s, u"--agents"_s,
                       u"amy,bob"_s}) != 0 ||
            made->run({u"addcounter"_s, u"B1"_s, u"--check-code"_s, u"0001"_s}) != 0 ||
            !made->start(options))
            return nullptr;
        slot = std::move(made);
        return slot.get();
    }

    // A logged-in client kept for the rows of a table (logins are slow by design).
    Client &sharedClient(Server *s, const QString &user) {
        auto &slot = m_clients[s->base.toString() + user];
        if (!slot) {
            slot = std::make_unique<Client>(s->base);
            if (!user.isEmpty())
                slot->login(user, QString::fromLatin1(Password));
        }
        return *slot;
    }

    Client loggedIn(Server *s, const QString &user) {
        Client client(s->base);
        if (!user.isEmpty())
            client.login(user, QString::fromLatin1(Password));
        return client;
    }

private Q_SLOTS:
    void initTestCase() {
        SERVER(s, u"sqlite"_s);
        Client amy = loggedIn(s, u"amy"_s);
        const Reply imported = amy.send(
            "POST", u"api/import"_s,
            QJsonDocument(QJsonObject{{u"text"_s, QString::fromUtf8(bookingText(
                                                      u"two_passengers_separate_lines.txt"_s))}})
                .toJson());
        QCOMPARE(imported.status, 200);
        QVERIFY(imported.json()[u"fields"_s].toArray().at(5).toString().startsWith(u"京城机场"_s));
        m_sheet = imported.body;
    }

    void endpoints_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body"); // SHEET stands for the imported sheet
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("type");
        const QByteArray json = "application/json";
        const struct {
            const char *name, *user, *method, *path, *body;
            int status;
            QByteArray type;
        } rows[] = {
            {"me, no session", "", "GET", "api/me", "", 401, json},
            {"me", "amy", "GET", "api/me", "", 200, json},
            {"form, no session needed", "", "GET", "api/form", "", 200, json},
            {"import, no session", "", "POST", "api/import", "{\"text\":\"\"}", 401, json},
            {"import on a sheet", "amy", "POST", "api/import", "{\"text\":\"\",\"sheet\":SHEET}",
             200, json},
            {"import, text not a string", "amy", "POST", "api/import", "{\"text\":1}", 400, json},
            {"import, not JSON", "amy", "POST", "api/import", "text=1", 400, json},
            {"leave", "amy", "POST", "api/sheet/leave", "{\"sheet\":SHEET,\"field\":30}", 200,
             json},
            {"leave, 1 field", "amy", "POST", "api/sheet/leave",
             "{\"sheet\":{\"fields\":[\"a\"]},\"field\":30}", 400, json},
            {"leave, field 59", "amy", "POST", "api/sheet/leave", "{\"sheet\":SHEET,\"field\":59}",
             400, json},
            {"step", "amy", "POST", "api/sheet/step", "{\"sheet\":SHEET,\"to\":\"next\"}", 200,
             json},
            {"step, nowhere", "amy", "POST", "api/sheet/step", "{\"sheet\":SHEET,\"to\":\"up\"}",
             400, json},
            {"counter", "amy", "GET", "api/counter?name=A1", "", 200, json},
            {"counter, not hers", "amy", "GET", "api/counter?name=B1", "", 403, json},
            {"counter, unknown", "amy", "GET", "api/counter?name=Z9", "", 404, json},
            {"counter, supervisor", "sup", "GET", "api/counter?name=B1", "", 200, json},
            {"offsets", "amy", "POST", "api/counter/offsets",
             "{\"counter\":\"A1\",\"left\":\"1.5\",\"top\":\"-2\"}", 200, json},
            {"offsets, not a number", "amy", "POST", "api/counter/offsets",
             "{\"counter\":\"A1\",\"left\":\"x\",\"top\":\"0\"}", 400, json},
            {"check code, not hers", "amy", "POST", "api/counter/check-code",
             "{\"counter\":\"B1\",\"checkCode\":\"0001\"}", 403, json},
            {"check code, 3 digits", "amy", "POST", "api/counter/check-code",
             "{\"counter\":\"A1\",\"checkCode\":\"001\"}", 400, json},
            {"print", "amy", "POST", "api/print", "{\"counter\":\"A1\",\"sheet\":SHEET}", 200,
             "application/pdf"},
            {"print, not her counter", "amy", "POST", "api/print",
             "{\"counter\":\"B1\",\"sheet\":SHEET}", 403, json},
            {"print, no record code", "amy", "POST", "api/print",
             "{\"counter\":\"A1\",\"sheet\":{\"fields\":["
             "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
             "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
             "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
             "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"]}}",
             400, json},
            {"group print", "bob", "POST", "api/print/group",
             "{\"counter\":\"A1\",\"sheet\":SHEET}", 200, "application/pdf"},
            {"calibration", "amy", "POST", "api/calibration", "{\"counter\":\"A1\"}", 200,
             "application/pdf"},
            {"preview", "amy", "POST", "api/preview", "{\"sheet\":SHEET}", 200, "image/png"},
            {"copy", "amy", "POST", "api/copy", "{\"sheet\":SHEET,\"all\":true}", 200,
             "application/pdf"},
            {"journal", "amy", "GET", "api/journal?from=2020-01-01&name=%E7%8E%8B", "", 200, json},
            {"journal, bad date", "amy", "GET", "api/journal?from=1.1.2020", "", 400, json},
            {"journal, not her counter", "amy", "GET", "api/journal?counter=B1", "", 403, json},
            {"journal CSV", "sup", "GET", "api/journal.csv", "", 200, "text/csv"},
            {"void, agent", "amy", "POST", "api/journal/void", "{\"id\":\"x\",\"reason\":\"r\"}",
             403, json},
            {"void, unknown row", "sup", "POST", "api/journal/void",
             "{\"id\":\"x\",\"reason\":\"r\"}", 404, json},
            {"counters, agent", "amy", "GET", "api/counters", "", 403, json},
            {"counters", "root", "GET", "api/counters", "", 200, json},
            {"save counter", "root", "POST", "api/counters",
             "{\"name\":\"C3\",\"checkCode\":\"0100\",\"left\":\"2\",\"top\":\"0\",\"agents\":["
             "\"bob\"]}",
             200, json},
            {"save counter, unknown agent", "root", "POST", "api/counters",
             "{\"name\":\"C4\",\"checkCode\":\"0100\",\"agents\":[\"nobody\"]}", 400, json},
            {"save counter, queue as an option", "root", "POST", "api/counters",
             "{\"name\":\"C5\",\"checkCode\":\"0100\",\"queue\":\"-oX\"}", 400, json},
            {"users, supervisor", "sup", "GET", "api/users", "", 403, json},
            {"save user", "root", "POST", "api/users",
             "{\"name\":\"carl\",\"role\":\"agent\",\"password\":\"long enough\"}", 200, json},
            {"save user, no such role", "root", "POST", "api/users",
             "{\"name\":\"dan\",\"role\":\"king\",\"password\":\"long enough\"}", 400, json},
            {"unknown path", "amy", "GET", "api/nothing", "", 404, json},
            // Refused by the HTTP server itself, in plain text, with the same headers.
            {"body over 256 KiB", "amy", "POST", "api/import", "BIG", 413, "text/plain"},
            {"method not served", "amy", "PUT", "api/import", "{}", 405, "text/plain"},
        };
        for (const QString &engine : {u"sqlite"_s, u"postgresql"_s}) {
            for (const auto &row : rows) {
                QTest::addRow("%s: %s", qPrintable(engine), row.name)
                    << engine << QString::fromLatin1(row.user) << QByteArray(row.method)
                    << QString::fromLatin1(row.path) << QByteArray(row.body) << row.status
                    << row.type;
            }
        }
    }

    void endpoints() {
        QFETCH(QString, engine);
        QFETCH(QString, user);
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QByteArray, type);
        SERVER(s, engine);
        Client &client = sharedClient(s, user);
        const QByteArray big = "{\"text\":\"" + QByteArray(256 * 1024, 'A') + "\"}";
        const Reply reply =
            client.send(method, path, body.replace("SHEET", m_sheet).replace("BIG", big));
        QVERIFY2(reply.status == status, reply.body.left(300).constData());
        QVERIFY(reply.header("Content-Type").startsWith(type));
        QCOMPARE(reply.header("Cache-Control"), "no-store");
        QCOMPARE(reply.header("Content-Security-Policy"),
                 "default-src 'self'; frame-ancestors 'none'");
        QCOMPARE(reply.header("X-Content-Type-Options"), "nosniff");
        if (status >= 400 && type == "application/json")
            QVERIFY(!reply.json().value(u"error"_s).toString().isEmpty());
    }

    void importMatchesCommandLine_data() {
        QTest::addColumn<QString>("booking");
        for (const QString &name : QDir(Bookings).entryList(QDir::Files))
            QTest::newRow(qPrintable(name)) << name;
    }

    void importMatchesCommandLine() {
        QFETCH(QString, booking);
        SERVER(s, u"sqlite"_s);
        Client amy = loggedIn(s, u"amy"_s);
        const Reply reply = amy.send(
            "POST", u"api/import"_s,
            QJsonDocument(QJsonObject{{u"text"_s, QString::fromUtf8(bookingText(booking))}})
                .toJson());
        QCOMPARE(reply.status, 200);
        QJsonObject web = reply.json();
        QCOMPARE(web.take(u"intl"_s).toInt(-1), 0);
        QProcess cli;
        cli.setProcessEnvironment(s->environment());
        cli.start(CliProgram, {u"import"_s, Bookings + booking});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(web, QJsonDocument::fromJson(cli.readAllStandardOutput()).object());
    }

    // The page is the form; the receipt moves by the counter's offsets; ink lies in the name's
    // box at those offsets; the row names the counter and the user.
    void printedPdf() {
        SERVER(s, u"sqlite"_s);
        Client root = loggedIn(s, u"root"_s);
        Client amy = loggedIn(s, u"amy"_s);
        const QByteArray counter = "{\"name\":\"P1\",\"checkCode\":\"0042\",\"agents\":[\"amy\"]}";
        QCOMPARE(root.send("POST", u"api/counters"_s, counter).status, 200);
        const QByteArray request = "{\"counter\":\"P1\",\"sheet\":" + m_sheet + '}';
        const Reply atZero = amy.send("POST", u"api/print"_s, request);
        QCOMPARE(amy.send("POST", u"api/counter/offsets"_s,
                          "{\"counter\":\"P1\",\"left\":\"10\",\"top\":\"5\"}")
                     .status,
                 200);
        const Reply moved = amy.send("POST", u"api/print"_s, request);
        QCOMPARE(atZero.header("X-Check-Code"), "0042");
        QCOMPARE(moved.header("X-Check-Code"), "0043");
        QCOMPARE(moved.header("X-Next-Check-Code"), "0044");

        // The calibration page's picture comes as a PNG, the receipts' as bare bits.
        const Reply calibration = amy.send("POST", u"api/calibration"_s, "{\"counter\":\"P1\"}");

        QTemporaryDir scratch;
        QList<QImage> pages[3];
        for (int i = 0; i < 3; ++i) {
            const QString pdf = scratch.filePath(u"%1.pdf"_s.arg(i));
            QFile file(pdf);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QList{atZero.body, moved.body, calibration.body}.at(i));
            file.close();
            QDir().mkpath(scratch.filePath(QString::number(i)));
            pages[i] = pdfPages(pdf, scratch.filePath(QString::number(i)));
            QCOMPARE(pages[i].size(), 1);
            // 205.3 x 105.3 mm at 300 dpi, to the point the PDF's page size is rounded to.
            QVERIFY(qAbs(pages[i].first().width() - 2425) <= 3);
            QVERIFY(qAbs(pages[i].first().height() - 1244) <= 5);
            // Ink where the picture is black, paper elsewhere (not the other way round).
            const QImage &page = pages[i].first();
            qint64 dark = 0;
            for (int y = 0; y < page.height(); ++y) {
                const uchar *line = page.constScanLine(y);
                dark += std::count_if(line, line + page.width(), [](uchar v) { return v < 128; });
            }
            QVERIFY2(dark > 0 && dark < qint64(page.width()) * page.height() / 5,
                     qPrintable(QString::number(dark)));
        }
        const QRect zero = darkBox(pages[0].first());
        const QRect shifted = darkBox(pages[1].first());
        QVERIFY(!zero.isEmpty());
        // 10 mm and 5 mm at 300 dpi: 118 and 59 pixels.
        QVERIFY2(qAbs(shifted.left() - zero.left() - 118) <= 2 &&
                     qAbs(shifted.top() - zero.top() - 59) <= 2,
                 qPrintable(u"%1,%2 -> %3,%4"_s.arg(zero.left())
                                .arg(zero.top())
                                .arg(shifted.left())
                                .arg(shifted.top())));

        const QJsonArray rows =
            amy.send("GET", u"api/journal?counter=P1"_s).json()[u"rows"_s].toArray();
        QCOMPARE(rows.size(), 2);
        const QJsonObject newest = rows.first().toObject();
        QCOMPARE(newest[u"user"_s].toString(), u"amy"_s);
        QCOMPARE(newest[u"outcome"_s].toString(), u"sent to the browser"_s);
        QCOMPARE(newest[u"checkCode"_s].toString(), u"0043"_s);
        Client sup = loggedIn(s, u"sup"_s);
        const QByteArray voiding =
            "{\"id\":\"" + newest[u"id"_s].toString().toLatin1() + "\",\"reason\":\"卡纸\"}";
        QCOMPARE(sup.send("POST", u"api/journal/void"_s, voiding).json()[u"voided"_s], true);
        QCOMPARE(sup.send("POST", u"api/journal/void"_s, voiding).status, 409);
    }

    // Two agents at one counter, 50 receipts each at once: 100 different codes in the
    // counter's sequence, through the wrap after 9999.
    void concurrentPrints_data() { addEngineRows(); }
    void concurrentPrints() {
        QFETCH(QString, engine);
        SERVER(s, engine);
        Client amy = loggedIn(s, u"amy"_s);
        Client bob = loggedIn(s, u"bob"_s);
        QCOMPARE(amy.send("POST", u"api/counter/check-code"_s,
                          "{\"counter\":\"A1\",\"checkCode\":\"9950\"}")
                     .status,
                 200);
        const QByteArray request = "{\"counter\":\"A1\",\"sheet\":" + m_sheet + '}';
        QList<QNetworkReply *> replies;
        for (int i = 0; i < 50; ++i) {
            replies.append(amy.start("POST", u"api/print"_s, request));
            replies.append(bob.start("POST", u"api/print"_s, request));
        }
        QStringList codes;
        for (QNetworkReply *reply : replies) {
            const Reply r = Client::finish(reply);
            QCOMPARE(r.status, 200);
            codes.append(QString::fromLatin1(r.header("X-Check-Code")));
        }
        std::sort(codes.begin(), codes.end());
        QStringList expected;
        for (int i = 0; i < 100; ++i)
            expected.append(u"%1"_s.arg((9950 + i) % 10000, 4, 10, QChar(u'0')));
        std::sort(expected.begin(), expected.end());
        QCOMPARE(codes, expected);
        QCOMPARE(amy.send("GET", u"api/counter?name=A1"_s).json()[u"checkCode"_s].toString(),
                 u"0050"_s);
    }

    // CSRF, Origin, body size, HTTPS from the proxy, lock-out, expiry and logout, on a server
    // whose sessions end after a second idle and whose lock lasts four.
    void sessionRules() {
        SERVER(s, u"sqlite"_s, {u"--session-idle"_s, u"1"_s, u"--lock-seconds"_s, u"4"_s});
        Client amy = loggedIn(s, u"amy"_s);
        const QByteArray step = "{\"sheet\":" + m_sheet + ",\"to\":\"next\"}";
        const QByteArray own = "http://" + s->base.authority().toLatin1();
        QCOMPARE(amy.send("POST", u"api/sheet/step"_s, step, {{"Origin", own}}).status, 200);
        QCOMPARE(
            amy.send("POST", u"api/sheet/step"_s, step, {{"Origin", "http://evil.example"}}).status,
            403);
        QCOMPARE(amy.send("POST", u"api/sheet/step"_s, step, {{"X-CSRF-Token", "0123"}}).status,
                 403);
        const QByteArray token = amy.csrf;
        amy.csrf.clear();
        QCOMPARE(amy.send("POST", u"api/sheet/step"_s, step).status, 403);
        amy.csrf = token;
        QCOMPARE(amy.send("POST", u"api/logout"_s, "{}").status, 200);
        QCOMPARE(amy.send("GET", u"api/me"_s).status, 401);

        Client idle = loggedIn(s, u"amy"_s);
        Client proxied(s->base);
        const QByteArray login = "{\"user\":\"bob\",\"password\":\"" + Password + "\"}";
        const Reply secure =
            proxied.send("POST", u"api/login"_s, login, {{"X-Forwarded-Proto", "https"}});
        QVERIFY(secure.header("Set-Cookie").contains("; Secure"));
        QVERIFY(secure.header("Set-Cookie").contains("HttpOnly; SameSite=Strict; Path=/"));
        QTest::qWait(1300);
        const Reply expired = idle.send("GET", u"api/me"_s);
        QCOMPARE(expired.status, 401);
        QCOMPARE(expired.json()[u"error"_s].toString(), u"登录已过期，请重新登录"_s);

        // Behind the proxy the lock counts the client it names (X-Real-IP, else the address
        // X-Forwarded-For ends with), not the proxy's own address.
        const QByteArray wrong = "{\"user\":\"nobody\",\"password\":\"wrong\"}";
        for (int i = 0; i < 5; ++i)
            QCOMPARE(
                proxied.send("POST", u"api/login"_s, wrong, {{"X-Real-IP", "203.0.113.7"}}).status,
                401);
        const QList<std::pair<QByteArray, int>> clients{
            {"X-Real-IP: 203.0.113.7", 429},
            {"X-Forwarded-For: 198.51.100.1, 203.0.113.7", 429},
            {"X-Real-IP: 203.0.113.8", 200},
            {"X-Forwarded-For: 203.0.113.7, 198.51.100.1", 200},
            {"X-Real-IP: not-an-address", 200}};
        for (const auto &[header, status] : clients) {
            const QByteArrayList nameValue = header.split(':');
            QCOMPARE(proxied
                         .send("POST", u"api/login"_s, login,
                               {{nameValue.at(0), nameValue.at(1).trimmed()}})
                         .status,
                     status);
        }

        Client guesser(s->base);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(guesser.login(u"amy"_s, u"wrong"_s).status, 401);
        QCOMPARE(guesser.login(u"amy"_s, QString::fromLatin1(Password)).status, 429);
        QTest::qWait(4100);
        QCOMPARE(guesser.login(u"amy"_s, QString::fromLatin1(Password)).status, 200);
    }

    // The service draws with the agency's layout.json; one it cannot use stops it at its
    // start rather than spoil forms.
    void unusableLayoutStopsTheService() {
        Server s;
        s.database = u"sqlite://"_s + s.folder.filePath(u"journal.sqlite"_s);
        const QString layout = s.folder.filePath(u"itinerary/itinerary/layout.json"_s);
        QFile file(layout);
        QVERIFY(QDir().mkpath(QFileInfo(layout).path()) && file.open(QIODevice::WriteOnly));
        file.write("{");
        file.close();
        QVERIFY(!s.start({}));
        QCOMPARE(s.process->exitCode(), 1);
    }

    // A counter with a queue prints there through the print job: the queue's PDF has the
    // form's page.
    void cupsQueue() {
        SERVER(s, u"sqlite"_s);
        QCOMPARE(s->run({u"addcounter"_s, u"WQ7"_s, u"--check-code"_s, u"0007"_s, u"--queue"_s,
                         u"PDF"_s, u"--agents"_s, u"amy"_s}),
                 0);
        Client amy = loggedIn(s, u"amy"_s);
        const Reply reply =
            amy.send("POST", u"api/print"_s, "{\"counter\":\"WQ7\",\"sheet\":" + m_sheet + '}');
        QVERIFY2(reply.status == 200, reply.body.constData());
        QCOMPARE(reply.json()[u"printer"_s].toString(), u"PDF"_s);
        QCOMPARE(reply.json()[u"checkCode"_s].toString(), u"0007"_s);
        const QString pdf = waitForPdf(u"WQ7-0007"_s);
        QVERIFY(!pdf.isEmpty());
        // The queue's paper, the receipt level at its top-left corner (not turned, not
        // centred).
        QTemporaryDir scratch;
        const QList<QImage> pages = pdfPages(pdf, scratch.path());
        QCOMPARE(pages.size(), 1);
        const QRect ink = darkBox(pages.first());
        QVERIFY2(ink.width() > ink.height() && ink.right() < 2425 && ink.bottom() < 1244,
                 qPrintable(u"%1,%2 %3x%4"_s.arg(ink.left())
                                .arg(ink.top())
                                .arg(ink.width())
                                .arg(ink.height())));
        const QJsonArray rows =
            amy.send("GET", u"api/journal?counter=WQ7"_s).json()[u"rows"_s].toArray();
        QCOMPARE(rows.first()[u"outcome"_s].toString(), u"printed"_s);
        QCOMPARE(rows.first()[u"printer"_s].toString(), u"PDF"_s);
    }
};

QTEST_GUILESS_MAIN(TestWebService)
#include "tst_webservice.moc"
