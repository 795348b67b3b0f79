// The site through a real browser engine: the markup the engine gives back (the document's
// outer markup and the third table's inner markup) must equal what the site served, so the
// product reads the same sheet from a live page as from a saved one; the page's own script
// submits the query, and every page can start the next query.
#include "SitePages.h"
#include "TicketFile.h"
#include "VerificationSite.h"

#include "TestPaths.h"
#include "webimport/MarkupNormaliser.h"
#include "webimport/ThirdTable.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkCookie>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <memory>

#include <unistd.h>

using namespace itinerary::site;
using namespace Qt::StringLiterals;

namespace {

constexpr int LoadTimeoutMs = 30000;
const QString FixedCode = u"K7Q2"_s;

QString readFixture(const QString &name) {
    QFile file(QStringLiteral(ITINERARY_TEST_DATA_DIR "/pages/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestSiteBrowser final : public QObject {
    Q_OBJECT

private:
    QVariant runScript(const QString &script) {
        QVariant result;
        bool done = false;
        m_page->runJavaScript(script, [&](const QVariant &value) {
            result = value;
            done = true;
        });
        if (!QTest::qWaitFor([&] { return done; }, LoadTimeoutMs))
            qWarning("script did not finish: %s", qPrintable(script));
        return result;
    }

private Q_SLOTS:
    void initTestCase() {
        m_site = std::make_unique<VerificationSite>(builtInTickets());
        m_site->setFixedCaptcha(FixedCode);
        QVERIFY(!m_site->listen().isEmpty());
        m_profile = std::make_unique<QWebEngineProfile>(); // off the record: cookies in memory
        m_page = std::make_unique<QWebEnginePage>(m_profile.get());
    }

    void cleanupTestCase() {
        m_page.reset();
        m_profile.reset();
        m_site.reset();
    }

    void homePageAndHttpOnlySession() {
        QSignalSpy cookies(m_profile->cookieStore(), &QWebEngineCookieStore::cookieAdded);
        QSignalSpy loaded(m_page.get(), &QWebEnginePage::loadFinished);
        m_page->load(m_site->baseUrl());
        QVERIFY(loaded.wait(LoadTimeoutMs));
        QCOMPARE(loaded.first().first().toBool(), true);
        QTRY_VERIFY(!cookies.isEmpty());
        const auto cookie = cookies.first().first().value<QNetworkCookie>();
        QCOMPARE(cookie.name(), QByteArray(SessionCookieName));
        QVERIFY(cookie.isHttpOnly());
        // The page's script cannot see the session.
        QCOMPARE(runScript(u"document.cookie"_s).toString(), QString());
        QCOMPARE(runScript(u"document.documentElement.outerHTML"_s).toString(),
                 readFixture(u"home.html"_s).remove(u"<!DOCTYPE html>\n"_s));
    }

    // Rows run in order on one page, so every query starts from the page the previous row
    // left: the home page, a result page, an error page.
    void queriesFromEveryKindOfPage_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<bool>("result");
        // clang-format off
        QTest::newRow("from home: one segment")   << u"9992101234567"_s << u"王小明"_s   << FixedCode   << u"result-one-segment.html"_s   << true;
        QTest::newRow("from result: wrong code")  << u"7812102345678"_s << u"李娜"_s     << u"ZZZZ"_s   << u"wrong-captcha.html"_s        << false;
        QTest::newRow("from error: two segments") << u"7812102345678"_s << u" 李娜 "_s   << u"k7q2"_s   << u"result-two-segments.html"_s  << true;
        QTest::newRow("unknown ticket")           << u"7812102345678"_s << u"王小明"_s   << FixedCode   << u"unknown-ticket.html"_s       << false;
        QTest::newRow("four segments")            << u"784-2103456789"_s << u"欧阳建国"_s << FixedCode  << u"result-four-segments.html"_s << true;
        // clang-format on
    }
    void queriesFromEveryKindOfPage() {
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(QString, fixture);
        QFETCH(bool, result);

        // Values go in as JSON string literals, never pasted into script text raw.
        const QJsonArray values{number, name, code};
        const QString literals =
            QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact));
        QSignalSpy loaded(m_page.get(), &QWebEnginePage::loadFinished);
        const QVariant submitted =
            runScript(u"(function (v) {"
                      " document.getElementById('eticketNoORIn').value = v[0];"
                      " document.getElementById('passengerName').value = v[1];"
                      " document.getElementById('randCode').value = v[2];"
                      " return validateStatus_info(); })(%1)"_s.arg(literals));
        QCOMPARE(submitted.toBool(), true);
        QVERIFY(loaded.wait(LoadTimeoutMs));
        QCOMPARE(loaded.first().first().toBool(), true);

        const QString served = readFixture(fixture);
        const QString outer = runScript(u"document.documentElement.outerHTML"_s).toString();
        QCOMPARE(outer, QString(served).remove(u"<!DOCTYPE html>\n"_s));
        QCOMPARE(outer.contains(u"印刷序号"_s), result);
        if (result) {
            const QString inner =
                runScript(u"document.getElementsByTagName('table')[2].innerHTML"_s).toString();
            const auto servedInner =
                itinerary::thirdTableInnerMarkup(itinerary::normaliseTagNames(served));
            QVERIFY(servedInner);
            QCOMPARE(itinerary::normaliseTagNames(inner), *servedInner);
        }
    }

private:
    std::unique_ptr<VerificationSite> m_site;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<QWebEnginePage> m_page;
};

int main(int argc, char *argv[]) {
    // The engine refuses to start as root inside its sandbox.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    TestSiteBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sitebrowser.moc"
