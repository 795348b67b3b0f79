// The browser control on the engine, against the local site: the three notifications of a
// finished page (failed loads included) with markup the result page parser can read, values
// that reach the page's inputs exactly as given and never as script, failures of the page
// reported back, the page's cookies shared with a network cookie jar, and its alerts handed on.
#include "TestPaths.h"

#include "webimport/MarkupNormaliser.h"
#include "webimport/ui/WebEngineBrowser.h"

#include "TicketFile.h"
#include "VerificationSite.h"

#include <QApplication>
#include <QFile>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <memory>

#include <unistd.h>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

constexpr int PageTimeoutMs = 30000;

QString readPage(const QString &name) {
    QFile file(QStringLiteral(ITINERARY_TEST_DATA_DIR "/pages/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestWebEngineBrowser final : public QObject {
    Q_OBJECT

    // What the control reported for the last finished page.
    struct Finished {
        QStringList events;
        QString markup;
        std::optional<QString> table;
    };

    Finished load(const std::function<void()> &start) {
        m_finished = Finished{};
        start();
        if (!QTest::qWaitFor([this] { return m_finished.events.size() == 3; }, PageTimeoutMs))
            qWarning("no finished page");
        return m_finished;
    }

    // Waits for a page operation's answer.
    bool answer(const std::function<void(BrowserControl::Done)> &operation) {
        std::optional<bool> result;
        operation([&result](bool ok) { result = ok; });
        if (!QTest::qWaitFor([&result] { return result.has_value(); }, PageTimeoutMs))
            qWarning("no answer from the page");
        return result.value_or(false);
    }

    QVariant evaluate(const QString &script) {
        std::optional<QVariant> result;
        m_web->page()->runJavaScript(script, [&result](const QVariant &value) { result = value; });
        if (!QTest::qWaitFor([&result] { return result.has_value(); }, PageTimeoutMs))
            qWarning("script did not finish: %s", qPrintable(script));
        return result.value_or(QVariant());
    }

    QList<QNetworkCookie> sessionCookies() const {
        QList<QNetworkCookie> found;
        for (const QNetworkCookie &cookie : m_jar.cookiesForUrl(m_site->baseUrl())) {
            if (cookie.name() == "JSESSIONID")
                found.append(cookie);
        }
        return found;
    }

private Q_SLOTS:
    void initTestCase() {
        m_site = std::make_unique<site::VerificationSite>(site::builtInTickets());
        QVERIFY(!m_site->listen().isEmpty());
        m_web = std::make_unique<WebEngineBrowser>();
        m_web->shareCookiesWith(&m_jar);
        connect(m_web.get(), &BrowserControl::DownloadComplete, this,
                [this](const QString &markup, const std::optional<QString> &table) {
                    m_finished.events.append(u"download"_s);
                    m_finished.markup = markup;
                    m_finished.table = table;
                });
        connect(m_web.get(), &BrowserControl::DocumentComplete, this, [this](const QUrl &address) {
            m_finished.events.append(u"document "_s + address.toString());
        });
        connect(m_web.get(), &BrowserControl::StatusTextChange, this,
                [this](const QString &text) { m_finished.events.append(u"status "_s + text); });
    }

    void cleanupTestCase() {
        m_web.reset();
        m_site.reset();
    }

    // The home page: the notifications in order, the markup with upper-case tag names, no
    // third table (the page has two), and the HttpOnly session copied into the jar.
    void finishedPageRaisesTheNotificationsInOrder() {
        const QString home = m_site->baseUrl().toString();
        const Finished page = load([&] { m_web->navigate(home); });
        QCOMPARE(page.events,
                 (QStringList{u"download"_s, u"document "_s + home, u"status 完成"_s}));
        QCOMPARE(page.markup,
                 normaliseTagNames(readPage(u"home.html"_s).remove(u"<!DOCTYPE html>\n"_s)));
        QVERIFY(page.markup.contains(u"<TABLE class=\"frame\"><TBODY>"_s));
        QCOMPARE(page.table, std::nullopt);
        QTRY_COMPARE(sessionCookies().size(), 1);
        QVERIFY(sessionCookies().first().isHttpOnly());
        // Nobody sees the page, yet its scripts run as in a page on screen (not throttled).
        QCOMPARE(evaluate(u"document.visibilityState"_s).toString(), u"visible"_s);
    }

    // The site's alerts reach the window with their text as it is, while the page waits.
    void alertsReachTheWindow() {
        QStringList alerts;
        connect(m_web.get(), &BrowserControl::pageAlert, this,
                [&](const QString &text) { alerts.append(text); });
        QVERIFY(answer([this](BrowserControl::Done done) {
            m_web->execScript(u"alert('<table>请输入完整的查询信息</table>'); window.after = 1"_s,
                              std::move(done));
        }));
        QCOMPARE(alerts, QStringList{u"<table>请输入完整的查询信息</table>"_s});
        QCOMPARE(evaluate(u"window.after"_s).toInt(), 1);
        disconnect(m_web.get(), &BrowserControl::pageAlert, this, nullptr);
    }

    // Any text reaches the input as it is; none of it ever runs as script.
    void valuesReachTheInputsVerbatim_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("chinese") << u"王小明"_s;
        QTest::newRow("quotes") << u"O'Brien \"Jr\""_s;
        QTest::newRow("backslashes") << u"a\\b\\\\c\\"_s;
        QTest::newRow("ends a single-quoted string") << u"'); window.injected = 1; ('"_s;
        QTest::newRow("ends the argument array") << u"\"]); window.injected = 1; ([\""_s;
        QTest::newRow("closes the script element")
            << u"</script><script>window.injected = 1</script>"_s;
        QTest::newRow("template text") << u"${window.injected = 1}"_s;
        QTest::newRow("line and paragraph separators") << u"a\u2028b\u2029c"_s;
        QTest::newRow("empty") << QString();
    }
    void valuesReachTheInputsVerbatim() {
        QFETCH(QString, value);
        QVERIFY(answer([&](BrowserControl::Done done) {
            m_web->setElementValue(u"passengerName"_s, value, std::move(done));
        }));
        QCOMPARE(evaluate(u"document.getElementById('passengerName').value"_s).toString(), value);
        QCOMPARE(evaluate(u"typeof window.injected"_s).toString(), u"undefined"_s);
    }

    void pageFailuresAreReported_data() {
        QTest::addColumn<QString>("id"); // empty: run `script`
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("ok");
        QTest::newRow("missing input") << u"noSuchInput"_s << QString() << false;
        QTest::newRow("missing function") << QString() << u"noSuchFunction()"_s << false;
        QTest::newRow("script throws") << QString() << u"throw new Error('x')"_s << false;
        QTest::newRow("trailing comment") << QString() << u"window.ran = 1 // done"_s << true;
    }
    void pageFailuresAreReported() {
        QFETCH(QString, id);
        QFETCH(QString, script);
        QFETCH(bool, ok);
        const bool result = answer([&](BrowserControl::Done done) {
            if (id.isEmpty())
                m_web->execScript(script, std::move(done));
            else
                m_web->setElementValue(id, u"x"_s, std::move(done));
        });
        QCOMPARE(result, ok);
    }

    void removedCookiesLeaveTheJar() {
        QTRY_COMPARE(sessionCookies().size(), 1);
        m_web->profile()->cookieStore()->deleteAllCookies();
        QTRY_COMPARE(sessionCookies().size(), 0);
    }

    // The page stays on the site's origin: a page that sends itself to another origin (a
    // second local site) is not followed, nothing of it is read, and alerts of another
    // origin are not shown.
    void staysOnTheSite_data() {
        QTest::addColumn<QString>("script"); // OTHER: the other origin's home page
        QTest::newRow("script sets the address") << u"location.href = 'OTHER'"_s;
        QTest::newRow("form posts elsewhere")
            << u"var f = document.createElement('form'); f.method = 'post'; f.action = 'OTHER';"
               " document.body.appendChild(f); f.submit()"_s;
        QTest::newRow("link clicked") << u"var a = document.createElement('a'); a.href = 'OTHER';"
                                         " document.body.appendChild(a); a.click()"_s;
        QTest::newRow("alert of a frame elsewhere")
            << u"var f = document.createElement('iframe');"
               " f.src = 'data:text/html,<script>alert(1)</script>'; document.body.appendChild(f)"_s;
    }
    void staysOnTheSite() {
        QFETCH(QString, script);
        site::VerificationSite other(site::builtInTickets());
        QVERIFY(!other.listen().isEmpty());
        const QUrl home = m_site->baseUrl();
        QCOMPARE(load([&] { m_web->navigate(home.toString()); }).events.size(), 3);
        QStringList alerts;
        connect(m_web.get(), &BrowserControl::pageAlert, this,
                [&](const QString &text) { alerts.append(text); });
        m_finished = Finished{};
        QVERIFY(answer([&](BrowserControl::Done done) {
            m_web->execScript(script.replace(u"OTHER"_s, other.baseUrl().toString()),
                              std::move(done));
        }));
        // Followed, the other site's page would finish within a moment.
        (void)QTest::qWaitFor([&] { return !alerts.isEmpty() || m_finished.events.size() == 3; },
                              3000);
        disconnect(m_web.get(), &BrowserControl::pageAlert, this, nullptr);
        QCOMPARE(m_web->page()->url().port(), home.port());
        QCOMPARE(m_finished.events, QStringList()); // no page finished, none read again
        QCOMPARE(alerts, QStringList());
    }

    // The site's own redirect to another origin is refused too; the load it ended finishes
    // (failed), so the window is not left waiting, and nothing of the other origin is read.
    void redirectElsewhereIsRefused() {
        site::VerificationSite other(site::builtInTickets());
        QVERIFY(!other.listen().isEmpty());
        QTcpServer redirecting;
        QVERIFY(redirecting.listen(QHostAddress::LocalHost));
        connect(&redirecting, &QTcpServer::newConnection, this, [&] {
            QTcpSocket *socket = redirecting.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket, &other] {
                socket->write("HTTP/1.1 302 Found\r\nLocation: " + other.baseUrl().toEncoded() +
                              "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
            });
        });
        const Finished page =
            load([&] { m_web->navigate(u"http://127.0.0.1:%1/"_s.arg(redirecting.serverPort())); });
        QCOMPARE(page.events.size(), 3);
        QVERIFY(!page.markup.contains(u"eticketNoORIn"_s)); // the other site's query form
    }

    // Nothing answers: the engine's error page finishes like any page, so the window is
    // never left waiting; it carries no query form.
    void failedLoadStillFinishes() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString address = u"http://127.0.0.1:%1/"_s.arg(closed.serverPort());
        closed.close();
        const Finished page = load([&] { m_web->navigate(address); });
        QCOMPARE(page.events.size(), 3);
        QCOMPARE(page.events.last(), u"status 完成"_s);
        QVERIFY(!page.markup.contains(u"eticketNoORIn"_s));
        QVERIFY(!answer([this](BrowserControl::Done done) {
            m_web->setElementValue(u"eticketNoORIn"_s, u"x"_s, std::move(done));
        }));
    }

private:
    std::unique_ptr<site::VerificationSite> m_site;
    QNetworkCookieJar m_jar;
    std::unique_ptr<WebEngineBrowser> m_web;
    Finished m_finished;
};

int main(int argc, char *argv[]) {
    // The engine refuses to start as root inside its sandbox.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestWebEngineBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_webenginebrowser.moc"
