// The verification query in the window, against a browser control that records what reaches
// the page: the checks of the typed query, the states of "导入", the captcha picture, the
// ready flag that gates the result page import, and query pages that are not ready.
#include "FakeBrowser.h"
#include "TestPaths.h"

#include "WindowControls.h"
#include "app/ClickableLabel.h"
#include "app/MainPrint.h"
#include "base/Messages.h"
#include "desk/PrintDesk.h"
#include "print/net/NetworkPictureLoader.h"
#include "webimport/MarkupNormaliser.h"
#include "webimport/ThirdTable.h"

#include "CaptchaImage.h"
#include "TicketFile.h"
#include "VerificationSite.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace itinerary;
using namespace itinerary::test;
using namespace Qt::StringLiterals;

namespace {

const QString TicketMessage = u"票号位数不正确！"_s;
const QString CaptchaMessage = u"验证码不正确"_s;
const QString NotReadyMessage = u"验真网站页面未就绪，请稍后再试"_s;

QString readPage(const QString &name) {
    QFile file(QStringLiteral(ITINERARY_TEST_DATA_DIR "/pages/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return QString::fromUtf8(file.readAll());
}

QStringList texts(const RecordingMessages &messages) {
    QStringList shown;
    for (const auto &message : messages.shown())
        shown.append(message.text);
    return shown;
}

} // namespace

class TestQueryBar final : public QObject {
    Q_OBJECT

    // One window per test function, over a fresh recording browser; the captcha comes from
    // a local site (no browser engine involved).
    struct Window {
        FakeBrowser browser;
        RecordingMessages messages;
        std::unique_ptr<MainPrint> main;
    };

    std::unique_ptr<Window> open() {
        auto w = std::make_unique<Window>();
        Config c;
        c.serviceBaseUrl = u"http://127.0.0.1:9/"_s;
        c.siteHomeUrl = m_site->baseUrl().toString();
        c.captchaUrl = Config::captchaUrlFor(c.siteHomeUrl);
        c.settingsDirectory = m_settings.path();
        c.loadTimeoutMs = 5000;
        w->main = std::make_unique<MainPrint>(
            c, MainPrintSeams{&w->messages, nullptr, nullptr, &w->browser});
        return w;
    }

    static void submit(MainPrint &w, const QString &number, const QString &name,
                       const QString &code) {
        // The window takes no input while the page's captcha loads.
        QTRY_VERIFY(!w.desk().pictureLoader().isLoading());
        ui(w).Tn->setText(number);
        ui(w).Nm->setText(name);
        ui(w).Text1->setText(code);
        QTest::mouseClick(ui(w).Command1, Qt::LeftButton);
    }

private Q_SLOTS:
    void initTestCase() {
        m_site = std::make_unique<site::VerificationSite>(site::builtInTickets());
        m_site->setCaptchaGenerator([this] {
            ++m_captchas;
            return u"Q%1"_s.arg(m_captchas, 3, 10, QChar(u'0'));
        });
        QVERIFY(!m_site->listen().isEmpty());
    }

    void startsLoadingTheSiteWithImportDisabled() {
        auto w = open();
        QCOMPARE(w->browser.calls, QStringList{u"navigate "_s + m_site->baseUrl().toString()});
        QVERIFY(!ui(*w->main).Command1->isEnabled());
        QVERIFY(!w->main->pageReady());
        QVERIFY(ui(*w->main).Image2->pixmap().isNull());
    }

    // Every completed page enables "导入" and shows a captcha fetched for it, at its own size;
    // a click on the picture fetches another.
    void completedPagesBringACaptcha() {
        auto w = open();
        const int before = m_captchas;
        w->browser.finishPage();
        QVERIFY(ui(*w->main).Command1->isEnabled());
        QVERIFY(w->main->pageReady());
        QTRY_COMPARE(m_captchas, before + 1);
        QTRY_COMPARE(ui(*w->main).Image2->pixmap().size(), site::CaptchaSize);
        QCOMPARE(ui(*w->main).Image2->size(), site::CaptchaSize);
        w->browser.finishPage();
        QTRY_COMPARE(m_captchas, before + 2);
        QTest::mouseClick(ui(*w->main).Image2, Qt::LeftButton);
        QTRY_COMPARE(m_captchas, before + 3);
        QVERIFY(w->messages.shown().isEmpty());
    }

    void onlyTheFinishedStatusEnablesImport_data() {
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("ready");
        QTest::newRow("finished") << u"完成"_s << true;
        QTest::newRow("loading") << u"正在打开网页..."_s << false;
        QTest::newRow("trailing blank") << u"完成 "_s << false;
        QTest::newRow("empty") << QString() << false;
    }
    void onlyTheFinishedStatusEnablesImport() {
        QFETCH(QString, status);
        QFETCH(bool, ready);
        auto w = open();
        const int before = m_captchas;
        Q_EMIT w->browser.StatusTextChange(status);
        QCOMPARE(ui(*w->main).Command1->isEnabled(), ready);
        QCOMPARE(w->main->pageReady(), ready);
        QCOMPARE(m_captchas, before); // only a completed document fetches a captcha
    }

    // The typed query is cleaned and checked; a rejected one never reaches the page.
    void typedQueryIsCheckedBeforeItReachesThePage_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");   // empty: accepted
        QTest::addColumn<QStringList>("boxes"); // Tn, Nm, Text1 afterwards
        // clang-format off
        QTest::newRow("plain")               << u"9992101234567"_s   << u"王小明"_s   << u"AB12"_s    << QString()      << QStringList{u"9992101234567"_s, u"王小明"_s, u"AB12"_s};
        QTest::newRow("hyphen after prefix") << u"999-2101234567"_s  << u"王小明"_s   << u"ab12"_s    << QString()      << QStringList{u"9992101234567"_s, u"王小明"_s, u"AB12"_s};
        QTest::newRow("blanks around all")   << u"  999-2101234567 "_s << u" 王小明 "_s << u" ab12  "_s << QString()     << QStringList{u"9992101234567"_s, u"王小明"_s, u"AB12"_s};
        QTest::newRow("letters pass")        << u"ABCDEFGHIJKLM"_s   << QString()     << u"Q001"_s    << QString()      << QStringList{u"ABCDEFGHIJKLM"_s, QString(), u"Q001"_s};
        QTest::newRow("every hyphen goes")   << u"-999-210-1234567-"_s << u"A"_s     << u"Q001"_s    << QString()      << QStringList{u"9992101234567"_s, u"A"_s, u"Q001"_s};
        QTest::newRow("blank inside counts") << u"999 2101234567"_s  << u" 王小明 "_s << u" ab "_s    << TicketMessage  << QStringList{u"999 2101234567"_s, u" 王小明 "_s, u" AB "_s};
        QTest::newRow("twelve")              << u"999210123456"_s    << u"王小明"_s   << u"AB12"_s    << TicketMessage  << QStringList{u"999210123456"_s, u"王小明"_s, u"AB12"_s};
        QTest::newRow("fourteen")            << u"99921012345678"_s  << u"王小明"_s   << u"AB12"_s    << TicketMessage  << QStringList{u"99921012345678"_s, u"王小明"_s, u"AB12"_s};
        QTest::newRow("tab is no blank")     << u"\t9992101234567"_s << u"王小明"_s   << u"AB12"_s    << TicketMessage  << QStringList{u"\t9992101234567"_s, u"王小明"_s, u"AB12"_s};
        QTest::newRow("empty number")        << QString()            << u"王小明"_s   << u"AB12"_s    << TicketMessage  << QStringList{QString(), u"王小明"_s, u"AB12"_s};
        QTest::newRow("captcha of three")    << u"999-2101234567"_s  << u" 王小明 "_s << u" ab1 "_s   << CaptchaMessage << QStringList{u"9992101234567"_s, u"王小明"_s, u"AB1"_s};
        QTest::newRow("captcha of five")     << u"9992101234567"_s   << u"王小明"_s   << u"AB123"_s   << CaptchaMessage << QStringList{u"9992101234567"_s, u"王小明"_s, u"AB123"_s};
        QTest::newRow("blank inside code")   << u"9992101234567"_s   << u"王小明"_s   << u"A B1"_s    << QString()      << QStringList{u"9992101234567"_s, u"王小明"_s, u"A B1"_s};
        QTest::newRow("empty captcha")       << u"9992101234567"_s   << u"王小明"_s   << QString()    << CaptchaMessage << QStringList{u"9992101234567"_s, u"王小明"_s, QString()};
        // clang-format on
    }
    void typedQueryIsCheckedBeforeItReachesThePage() {
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(QString, message);
        QFETCH(QStringList, boxes);
        auto w = open();
        MainPrint &m = *w->main;
        w->browser.finishPage();
        w->browser.calls.clear();

        submit(m, number, name, code);
        QCOMPARE((QStringList{ui(m).Tn->text(), ui(m).Nm->text(), ui(m).Text1->text()}), boxes);
        if (message.isEmpty()) {
            QVERIFY(w->messages.shown().isEmpty());
            QCOMPARE(w->browser.calls,
                     (QStringList{u"eticketNoORIn="_s + boxes[0], u"passengerName="_s + boxes[1],
                                  u"randCode="_s + boxes[2], u"run validateStatus_info()"_s}));
            // Disabled until the site's next page completes.
            QVERIFY(!ui(m).Command1->isEnabled());
            w->browser.finishPage();
            QVERIFY(ui(m).Command1->isEnabled());
        } else {
            QCOMPARE(texts(w->messages), QStringList{message});
            QVERIFY(w->browser.calls.isEmpty());
            QVERIFY(ui(m).Command1->isEnabled());
        }
    }

    // A query page that lacks an input, or whose script fails: the operator is told, may try
    // again at once, and the start page is loaded again for that try. Nothing after the
    // failing step reaches the page.
    void queryPageNotReady_data() {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<bool>("scriptFails");
        QTest::addColumn<QStringList>("calls");
        // clang-format off
        QTest::newRow("no ticket input")  << u"eticketNoORIn"_s << false << QStringList{u"eticketNoORIn=9992101234567"_s};
        QTest::newRow("no name input")    << u"passengerName"_s << false << QStringList{u"eticketNoORIn=9992101234567"_s, u"passengerName=王小明"_s};
        QTest::newRow("no captcha input") << u"randCode"_s      << false << QStringList{u"eticketNoORIn=9992101234567"_s, u"passengerName=王小明"_s, u"randCode=AB12"_s};
        QTest::newRow("script fails")     << QString()          << true  << QStringList{u"eticketNoORIn=9992101234567"_s, u"passengerName=王小明"_s, u"randCode=AB12"_s, u"run validateStatus_info()"_s};
        // clang-format on
    }
    void queryPageNotReady() {
        QFETCH(QString, missing);
        QFETCH(bool, scriptFails);
        QFETCH(QStringList, calls);
        auto w = open();
        w->browser.finishPage();
        w->browser.calls.clear();
        w->browser.missingIds = {missing};
        w->browser.scriptFails = scriptFails;

        submit(*w->main, u"9992101234567"_s, u"王小明"_s, u"ab12"_s);
        QCOMPARE(texts(w->messages), QStringList{NotReadyMessage});
        QVERIFY(ui(*w->main).Command1->isEnabled());
        QCOMPARE(w->browser.calls,
                 calls + QStringList{u"navigate "_s + m_site->baseUrl().toString()});
    }

    // The result page is imported only once a page has completed before it; a page without
    // the marker changes nothing.
    void resultPageImportWaitsForTheReadyFlag() {
        auto w = open();
        MainPrint &m = *w->main;
        const QString result = normaliseTagNames(readPage(u"result-two-segments.html"_s));
        const QStringList untouched = m.sheet().texts();

        Q_EMIT w->browser.DownloadComplete(result, thirdTableInnerMarkup(result));
        QCOMPARE(m.sheet().texts(), untouched);

        w->browser.finishPage(normaliseTagNames(readPage(u"wrong-captcha.html"_s)));
        QCOMPARE(m.sheet().texts(), untouched);

        w->browser.finishPage(result, thirdTableInnerMarkup(result));
        const QJsonObject expected =
            QJsonDocument::fromJson(readPage(u"result-two-segments.expected.json"_s).toUtf8())
                .object()
                .value(u"fields"_s)
                .toObject();
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QCOMPARE(m.sheet().text(it.key().toInt()), it.value().toString());
        QVERIFY(w->messages.shown().isEmpty());
    }

    // The site's alerts reach the operator as they are, titled as a browser titles them.
    void pageAlertsAreShown() {
        auto w = open();
        Q_EMIT w->browser.pageAlert(u"<table>请输入完整的查询信息</table>"_s);
        QCOMPARE(w->messages.shown(),
                 (QList<RecordingMessages::Shown>{
                     {u"来自网页的消息"_s, u"<table>请输入完整的查询信息</table>"_s}}));
    }

    // Without the browser engine module the operator is told, and the query stays disabled.
    void missingBrowserEngineIsReported() {
        RecordingMessages messages;
        Config c;
        c.serviceBaseUrl = u"http://127.0.0.1:9/"_s;
        c.siteHomeUrl = m_site->baseUrl().toString();
        c.captchaUrl = Config::captchaUrlFor(c.siteHomeUrl);
        c.settingsDirectory = m_settings.path();
        c.browserEngineFile = m_settings.filePath(u"no-such-engine.so"_s);
        MainPrint main(c, MainPrintSeams{&messages, nullptr, nullptr});
        main.show();
        QTRY_COMPARE(messages.shown().size(), 1);
        QVERIFY(messages.shown().first().text.startsWith(u"网页浏览组件无法加载"_s));
        QVERIFY(main.browser() == nullptr);
        QVERIFY(!ui(main).Command1->isEnabled());
    }

private:
    QTemporaryDir m_settings;
    std::unique_ptr<site::VerificationSite> m_site;
    int m_captchas = 0;
};

QTEST_MAIN(TestQueryBar)
#include "tst_querybar.moc"
