// The site over HTTP, started in-process on 127.0.0.1 with a free port and queried with
// QNetworkAccessManager and a cookie jar, as the product's picture loader would.
#include "CaptchaImage.h"
#include "SessionStore.h"
#include "SitePages.h"
#include "TicketFile.h"
#include "VerificationSite.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using namespace itinerary::site;
using namespace Qt::StringLiterals;

namespace {

constexpr int ReplyTimeoutMs = 10000;

struct Reply {
    int status = 0;
    QByteArray contentType;
    QByteArray setCookie;
    QByteArray body;
};

// A browser-like client: one cookie jar for all its requests.
class Client final {
public:
    Reply get(const QUrl &url) { return wait(m_manager.get(QNetworkRequest(url))); }
    Reply get(const QNetworkRequest &request) { return wait(m_manager.get(request)); }

    Reply post(const QUrl &url, const QByteArray &body) {
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          "application/x-www-form-urlencoded"_ba);
        return wait(m_manager.post(request, body));
    }

    QList<QNetworkCookie> cookies(const QUrl &url) const {
        return m_manager.cookieJar()->cookiesForUrl(url);
    }

private:
    static Reply wait(QNetworkReply *reply) {
        std::unique_ptr<QNetworkReply> owned(reply);
        QSignalSpy finished(reply, &QNetworkReply::finished);
        if (!reply->isFinished() && !finished.wait(ReplyTimeoutMs))
            qWarning("no reply from the site");
        Reply r;
        r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        r.contentType = reply->rawHeader("Content-Type");
        r.setCookie = reply->rawHeader("Set-Cookie");
        r.body = reply->readAll();
        return r;
    }

    QNetworkAccessManager m_manager;
};

QByteArray form(const QString &number, const QString &name, const QString &code) {
    QByteArray body = "eticketNoORIn=" + number.toUtf8().toPercentEncoding();
    body += "&passengerName=" + name.toUtf8().toPercentEncoding();
    body += "&randCode=" + code.toUtf8().toPercentEncoding();
    return body;
}

SiteTicket builtIn(int index) {
    return builtInTickets().at(index);
}

// Sends `request` (which asks to close) exactly as given and returns the status and body of
// the answer, while the event loop turns for the site.
std::pair<int, QByteArray> rawExchange(quint16 port, const QByteArray &request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.waitForConnected(ReplyTimeoutMs);
    socket.write(request);
    const QDeadlineTimer deadline(ReplyTimeoutMs);
    while (socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired())
        QTest::qWait(5);
    const QByteArray answer = socket.readAll();
    return {answer.mid(9, 3).toInt(), answer.mid(answer.indexOf("\r\n\r\n") + 4)};
}

} // namespace

class TestVerificationSite final : public QObject {
    Q_OBJECT

private:
    QUrl url(const QString &pathAndQuery) const {
        return QUrl(m_site->baseUrl().toString() + pathAndQuery.mid(1));
    }
    QUrl captchaUrl() const { return url(QString::fromLatin1(CaptchaPath) + u"?1"_s); }
    QUrl queryUrl() const { return url(QString::fromLatin1(QueryPath)); }

private Q_SLOTS:
    void init() {
        m_site = std::make_unique<VerificationSite>(builtInTickets());
        const QUrl base = m_site->listen();
        QVERIFY(!base.isEmpty());
        QCOMPARE(base.host(), u"127.0.0.1"_s);
        QVERIFY(base.port() > 0);
        QCOMPARE(base.path(), u"/"_s);
    }
    void cleanup() { m_site.reset(); }

    void homePageSetsAnHttpOnlySessionCookieOnce() {
        Client client;
        const Reply first = client.get(m_site->baseUrl());
        QCOMPARE(first.status, 200);
        QCOMPARE(first.contentType, "text/html; charset=utf-8"_ba);
        QCOMPARE(first.body, homePage());
        const QList<QNetworkCookie> cookies = client.cookies(m_site->baseUrl());
        QCOMPARE(cookies.size(), 1);
        QCOMPARE(cookies.first().name(), QByteArray(SessionCookieName));
        QVERIFY(cookies.first().isHttpOnly());
        QVERIFY(cookies.first().isSessionCookie());
        QCOMPARE(cookies.first().path(), u"/"_s);
        QVERIFY(first.setCookie.contains("HttpOnly"));
        // The session is kept: no new cookie while the client sends it back.
        QCOMPARE(client.get(m_site->baseUrl()).setCookie, QByteArray());
        QCOMPARE(m_site->sessionCount(), 1);
    }

    void forgottenSessionBesideTheCurrentOneIsIgnored() {
        Client first;
        const QByteArray session = first.get(m_site->baseUrl()).setCookie.split(';').first();
        QNetworkRequest request(m_site->baseUrl());
        request.setRawHeader("Cookie", QByteArray(SessionCookieName) + "=FORGOTTEN; " + session);
        Client other; // an empty jar: only the header above is sent
        QCOMPARE(other.get(request).setCookie, QByteArray());
        QCOMPARE(m_site->sessionCount(), 1);
    }

    void captchaIsAPngForAnyQuery_data() {
        QTest::addColumn<QString>("query");
        QTest::newRow("nothing after ?") << QString();
        QTest::newRow("a number") << u"0"_s;
        QTest::newRow("local date and time") << u"2026%2F5%2F12%2008%3A30%3A00"_s;
        QTest::newRow("raw slashes and colons") << u"2026/5/12 8:30:00"_s;
    }
    void captchaIsAPngForAnyQuery() {
        QFETCH(QString, query);
        m_site->setCaptchaGenerator([] { return u"HX5M"_s; });
        Client client;
        client.get(m_site->baseUrl());
        const Reply reply = client.get(url(QString::fromLatin1(CaptchaPath) + u"?"_s + query));
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.contentType, "image/png"_ba);
        QCOMPARE(reply.body, captchaPng(u"HX5M"_s));
        const QImage image = QImage::fromData(reply.body, "PNG");
        QCOMPARE(image.size(), CaptchaSize);
    }

    // Each session holds the code of the last picture it fetched, and only that one.
    void captchaCodesBelongToTheirSession() {
        QStringList codes{u"AAAA"_s, u"BBBB"_s, u"CCCC"_s};
        m_site->setCaptchaGenerator([&codes] { return codes.takeFirst(); });
        Client a, b;
        a.get(m_site->baseUrl());
        b.get(m_site->baseUrl());
        QCOMPARE(a.get(captchaUrl()).body, captchaPng(u"AAAA"_s));
        QCOMPARE(b.get(captchaUrl()).body, captchaPng(u"BBBB"_s));

        const SiteTicket t = builtIn(0);
        // B's code does not open A's session, and the failed try uses A's code up.
        QCOMPARE(a.post(queryUrl(), form(t.ticketNumber, t.passengerName, u"BBBB"_s)).body,
                 messagePage(wrongCaptchaMessage()));
        QCOMPARE(a.post(queryUrl(), form(t.ticketNumber, t.passengerName, u"AAAA"_s)).body,
                 messagePage(wrongCaptchaMessage()));
        QCOMPARE(b.post(queryUrl(), form(t.ticketNumber, t.passengerName, u"BBBB"_s)).body,
                 resultPage(t));
        // A code answers one query: the second query needs the next picture.
        QCOMPARE(b.post(queryUrl(), form(t.ticketNumber, t.passengerName, u"BBBB"_s)).body,
                 messagePage(wrongCaptchaMessage()));
        QCOMPARE(b.get(captchaUrl()).body, captchaPng(u"CCCC"_s));
        QCOMPARE(b.post(queryUrl(), form(t.ticketNumber, t.passengerName, u"CCCC"_s)).body,
                 resultPage(t));
    }

    // A picture fetched without the page's cookie opens a session of its own, so its code
    // does not answer the page's query: the product must share the page's cookies.
    void captchaWithoutTheCookieBelongsToAnotherSession() {
        m_site->setFixedCaptcha(u"K7Q2"_s);
        Client page, loaderWithoutCookies;
        page.get(m_site->baseUrl());
        const Reply picture = loaderWithoutCookies.get(captchaUrl());
        QVERIFY(picture.setCookie.startsWith(QByteArray(SessionCookieName) + '='));
        QVERIFY(picture.setCookie.contains("HttpOnly"));
        const SiteTicket t = builtIn(0);
        QCOMPARE(page.post(queryUrl(), form(t.ticketNumber, t.passengerName, u"K7Q2"_s)).body,
                 messagePage(wrongCaptchaMessage()));
    }

    void fixedCaptchaShowsAndAcceptsItsCode() {
        m_site->setFixedCaptcha(u"K7Q2"_s);
        Client client;
        client.get(m_site->baseUrl());
        QCOMPARE(client.get(captchaUrl()).body, captchaPng(u"K7Q2"_s));
        const SiteTicket t = builtIn(1);
        QCOMPARE(client.post(queryUrl(), form(t.ticketNumber, t.passengerName, u"K7Q2"_s)).body,
                 resultPage(t));
        QCOMPARE(client.get(captchaUrl()).body, captchaPng(u"K7Q2"_s));
        QCOMPARE(client.post(queryUrl(), form(t.ticketNumber, t.passengerName, u"K7Q2"_s)).body,
                 resultPage(t));
    }

    void queryAnswers_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("ticket"); // built-in index, -1 unknown, -2 wrong captcha
        // clang-format off
        QTest::newRow("one segment")          << u"9992101234567"_s    << u"王小明"_s     << u"K7Q2"_s   << 0;
        QTest::newRow("two segments")         << u"7812102345678"_s    << u"李娜"_s       << u"K7Q2"_s   << 1;
        QTest::newRow("four segments")        << u"7842103456789"_s    << u"欧阳建国"_s   << u"K7Q2"_s   << 2;
        QTest::newRow("hyphen after prefix")  << u"784-2103456789"_s   << u"欧阳建国"_s   << u"K7Q2"_s   << 2;
        QTest::newRow("spaces around values") << u" 9992101234567 "_s  << u" 王小明 "_s   << u" K7Q2 "_s << 0;
        QTest::newRow("code in lower case")   << u"9992101234567"_s    << u"王小明"_s     << u"k7q2"_s   << 0;
        QTest::newRow("wrong code")           << u"9992101234567"_s    << u"王小明"_s     << u"K7Q3"_s   << -2;
        QTest::newRow("empty code")           << u"9992101234567"_s    << u"王小明"_s     << QString()   << -2;
        QTest::newRow("unknown number")       << u"9992101234568"_s    << u"王小明"_s     << u"K7Q2"_s   << -1;
        QTest::newRow("name of another")      << u"9992101234567"_s    << u"李娜"_s       << u"K7Q2"_s   << -1;
        QTest::newRow("part of the name")     << u"9992101234567"_s    << u"王小"_s       << u"K7Q2"_s   << -1;
        QTest::newRow("empty name")           << u"9992101234567"_s    << QString()       << u"K7Q2"_s   << -1;
        QTest::newRow("non-digits")           << u"ABCDEFGHIJKLM"_s    << u"王小明"_s     << u"K7Q2"_s   << -1;
        QTest::newRow("space inside number")  << u"999210 1234567"_s   << u"王小明"_s     << u"K7Q2"_s   << -1;
        // clang-format on
    }
    void queryAnswers() {
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(int, ticket);
        m_site->setFixedCaptcha(u"K7Q2"_s);
        const QByteArray expected = ticket >= 0    ? resultPage(builtIn(ticket))
                                    : ticket == -1 ? messagePage(unknownTicketMessage())
                                                   : messagePage(wrongCaptchaMessage());
        Client client;
        client.get(m_site->baseUrl());
        client.get(captchaUrl());
        const Reply reply = client.post(queryUrl(), form(number, name, code));
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.contentType, "text/html; charset=utf-8"_ba);
        QCOMPARE(reply.body, expected);
        // A form sent with GET gets the same answer.
        client.get(captchaUrl());
        QCOMPARE(client
                     .get(url(QString::fromLatin1(QueryPath) + u"?"_s +
                              QString::fromLatin1(form(number, name, code))))
                     .body,
                 expected);
    }

    void queryWithoutASessionIsAWrongCaptcha() {
        m_site->setFixedCaptcha(u"K7Q2"_s);
        Client client;
        const SiteTicket t = builtIn(0);
        const Reply reply =
            client.post(queryUrl(), form(t.ticketNumber, t.passengerName, u"K7Q2"_s));
        QCOMPARE(reply.body, messagePage(wrongCaptchaMessage()));
        QVERIFY(reply.setCookie.contains("HttpOnly"));
    }

    void queryWithoutAFetchedPictureIsAWrongCaptcha() {
        m_site->setFixedCaptcha(u"K7Q2"_s);
        Client client;
        client.get(m_site->baseUrl());
        const SiteTicket t = builtIn(0);
        QCOMPARE(client.post(queryUrl(), form(t.ticketNumber, t.passengerName, u"K7Q2"_s)).body,
                 messagePage(wrongCaptchaMessage()));
    }

    // A query body reaches the site only when where it ends is beyond doubt.
    void queryBodyFraming_data() {
        QTest::addColumn<QByteArray>("framing");
        QTest::addColumn<bool>("chunked");
        QTest::addColumn<int>("status");
        // clang-format off
        QTest::newRow("length, 60 KiB")      << "Content-Length: %1"_ba                                   << false << 200;
        QTest::newRow("chunked")             << "Transfer-Encoding: chunked"_ba                           << true  << 200;
        QTest::newRow("gzip")                << "Transfer-Encoding: gzip"_ba                              << false << 400;
        QTest::newRow("chunked, then gzip")  << "Transfer-Encoding: chunked, gzip"_ba                     << true  << 400;
        QTest::newRow("gzip, then chunked")  << "Transfer-Encoding: gzip\r\nTransfer-Encoding: chunked"_ba << true  << 501;
        QTest::newRow("gzip and a length")   << "Transfer-Encoding: gzip\r\nContent-Length: %1"_ba         << false << 400;
        QTest::newRow("length and chunked")  << "Content-Length: %1\r\nTransfer-Encoding: chunked"_ba      << true  << 400;
        // clang-format on
    }
    void queryBodyFraming() {
        QFETCH(QByteArray, framing);
        QFETCH(bool, chunked);
        QFETCH(int, status);
        m_site->setFixedCaptcha(u"K7Q2"_s);
        Client client;
        const QByteArray session = client.get(captchaUrl()).setCookie.split(';').first();
        const SiteTicket t = builtIn(0);
        const QByteArray form = "pad=" + QByteArray(60 * 1024, 'x') + '&' +
                                ::form(t.ticketNumber, t.passengerName, u"K7Q2"_s);
        const QByteArray body =
            chunked ? QByteArray::number(form.size(), 16) + "\r\n" + form + "\r\n0\r\n\r\n" : form;
        const auto [got, page] = rawExchange(
            quint16(m_site->baseUrl().port()),
            "POST /verify HTTP/1.1\r\nConnection: close\r\nCookie: " + session + "\r\n" +
                framing.replace("%1", QByteArray::number(body.size())) + "\r\n\r\n" + body);
        QCOMPARE(got, status);
        if (status == 200)
            QCOMPARE(page, resultPage(t));
    }

    void oversizedQueryIsRefused() {
        Client client;
        client.get(m_site->baseUrl());
        const Reply reply = client.post(queryUrl(), QByteArray(MaxQueryBodySize + 1, 'x'));
        QCOMPARE(reply.status, 413);
    }

    void otherPathsAreNotFound_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("favicon") << u"/favicon.ico"_s;
        QTest::newRow("servlet folder") << u"/newsky/servlet/"_s;
        QTest::newRow("captcha path prefix") << u"/newsky/servlet/CallYanServletX?1"_s;
        QTest::newRow("query below") << u"/verify/x"_s;
    }
    void otherPathsAreNotFound() {
        QFETCH(QString, path);
        Client client;
        QCOMPARE(client.get(url(path)).status, 404);
        QCOMPARE(m_site->sessionCount(), 0);
    }

    void busyPortGivesNoAddress() {
        VerificationSite second(builtInTickets());
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"listen failed"_s));
        QVERIFY(
            second.listen(QHostAddress(QHostAddress::LocalHost), quint16(m_site->baseUrl().port()))
                .isEmpty());
    }

    void sessionsAreBounded() {
        SessionStore store(2);
        const QByteArray first = store.create();
        const QByteArray second = store.create();
        store.setCaptcha(first, u"AAAA"_s); // first is now the more recent one
        const QByteArray third = store.create();
        QCOMPARE(store.size(), 2);
        QVERIFY(store.contains(first));
        QVERIFY(!store.contains(second));
        QVERIFY(store.contains(third));
        QCOMPARE(store.takeCaptcha(first), u"AAAA"_s);
        QCOMPARE(store.takeCaptcha(first), QString());
        QCOMPARE(first.size(), 32);
        QVERIFY(first != third);
    }

private:
    std::unique_ptr<VerificationSite> m_site;
};

QTEST_MAIN(TestVerificationSite)
#include "tst_verificationsite.moc"
