// The verification query end to end, under an X server with a window manager
// (under-window-manager.sh) as an operator's desktop shows it: the main window keeps the native
// window it first appeared in while the browser engine starts behind it (a window that gets a
// new one flickers), drives the local site in the engine, fetches each captcha in the page's
// session, and reads each result page into the sheet; the same page run through the
// command-line tool gives the same fields. Its message boxes speak Chinese.
#include "TestPaths.h"

#include "WindowControls.h"
#include "app/ClickableLabel.h"
#include "app/MainPrint.h"
#include "app/MessageBoxMessages.h"
#include "app/QtTranslations.h"
#include "app/SheetFieldEdit.h"
#include "base/Messages.h"
#include "desk/PrintDesk.h"
#include "print/net/NetworkPictureLoader.h"
#include "webimport/ui/BrowserControl.h"

#include "SitePages.h"
#include "TicketFile.h"
#include "VerificationSite.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

#include <unistd.h>

using namespace itinerary;
using namespace itinerary::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int PageTimeoutMs = 30000;

QByteArray readFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

// The fields a result page import writes or empties, with their expected texts.
QJsonObject expectedFields(const QString &name) {
    return QJsonDocument::fromJson(
               readFile(QStringLiteral(ITINERARY_TEST_DATA_DIR "/pages/") + name))
        .object()
        .value(u"fields"_s)
        .toObject();
}

// The sheet's fields after `itinerary-cli page` has read the saved page.
QStringList fieldsFromCli(const QString &pagePath) {
    QProcess cli;
    cli.start(QStringLiteral(ITINERARY_BINARY_DIR "/tools/itinerary-cli/itinerary-cli"),
              {u"page"_s, pagePath});
    if (!cli.waitForFinished(PageTimeoutMs) || cli.exitCode() != 0)
        return {};
    QStringList fields;
    const QJsonArray array =
        QJsonDocument::fromJson(cli.readAllStandardOutput()).object().value(u"fields"_s).toArray();
    for (const QJsonValue &value : array)
        fields.append(value.toString());
    return fields;
}

QWidget *nextTabStop(QWidget *w) {
    QWidget *next = w->nextInFocusChain();
    while (next != w && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

} // namespace

class TestWebQuery final : public QObject {
    Q_OBJECT

    // Waits until the captcha of the page shown has arrived: the window takes no input while
    // it loads, and its code is the one to type.
    bool captchaShown() {
        return QTest::qWaitFor([&] { return !m_window->desk().pictureLoader().isLoading(); },
                               PageTimeoutMs);
    }

    // Types the query into the bar, presses "导入" and waits until the site's next page has
    // completed. Returns that page's markup as the browser gave it to the import.
    QString query(const QString &number, const QString &name, const QString &code) {
        MainPrint &w = *m_window;
        if (!captchaShown())
            return QString();
        QSignalSpy pages(w.browser(), &BrowserControl::DownloadComplete);
        ui(w).Tn->setText(number);
        ui(w).Nm->setText(name);
        ui(w).Text1->setText(code);
        QTest::mouseClick(ui(w).Command1, Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return ui(w).Command1->isEnabled(); }, PageTimeoutMs))
            return QString();
        return pages.isEmpty() ? QString() : pages.last().first().toString();
    }

private Q_SLOTS:
    // One window for the whole run; each test continues from the page the previous one left.
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
        QVERIFY(installQtTranslations(*qApp));
        m_site = std::make_unique<site::VerificationSite>(site::builtInTickets());
        // Every captcha picture shows a code never shown before, so the code the site accepts
        // is that of the last picture fetched in the browser's session.
        m_site->setCaptchaGenerator([this] {
            ++m_captchas;
            m_lastCode = u"W%1"_s.arg(m_captchas, 3, 10, QChar(u'0'));
            return m_lastCode;
        });
        QVERIFY(!m_site->listen().isEmpty());

        Config c;
        c.serviceBaseUrl = u"http://127.0.0.1:9/"_s;
        c.siteHomeUrl = m_site->baseUrl().toString();
        c.captchaUrl = Config::captchaUrlFor(c.siteHomeUrl);
        c.settingsDirectory = m_settings.path();
        c.browserEngineFile = QStringLiteral(ITINERARY_BROWSER_ENGINE);
        c.loadTimeoutMs = 5000;
        m_window = std::make_unique<MainPrint>(c, MainPrintSeams{&m_messages, nullptr, nullptr});
        MainPrint &w = *m_window;

        w.installEventFilter(this);
        bool paintedFirst = false;
        connect(&w, &MainPrint::browserCreated, this, [&] {
            paintedFirst = w.windowHandle() && w.windowHandle()->isExposed();
            m_nativeWindow = w.windowHandle()->winId();
        });
        w.show();
        QVERIFY(w.browser() == nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(w.browser() != nullptr, PageTimeoutMs);
        QVERIFY(paintedFirst);
        QTRY_VERIFY_WITH_TIMEOUT(ui(w).Command1->isEnabled(), PageTimeoutMs);
        QVERIFY(w.pageReady());
        QTRY_VERIFY_WITH_TIMEOUT(!ui(w).Image2->pixmap().isNull(), PageTimeoutMs);
    }

    void cleanupTestCase() {
        m_window.reset();
        m_site.reset();
    }

    // The site's page is no part of the window: once the start page has completed and the
    // window manager has framed the window, the window still has the X window it was first
    // painted on (a re-created window gets a new id, and says so), and the keyboard goes from
    // field 4 to "上一位".
    void browserWorksOutOfSight() {
        MainPrint &w = *m_window;
        QTRY_VERIFY_WITH_TIMEOUT(!w.windowHandle()->frameMargins().isNull(), PageTimeoutMs);
        QCOMPARE(w.windowHandle()->winId(), m_nativeWindow);
        QCOMPARE(m_nativeWindows, 1);
        QCOMPARE(nextTabStop(ui(w).field(4)), ui(w).cmdpau);
    }

    // The box the operator sees says "确定" and shows its text as it is (a page's alert may
    // hold markup); ITINERARY_SCREENSHOT names a file for a picture of the screen with it.
    void messageBoxSaysOk() {
        MessageBoxMessages boxes(m_window.get());
        boxes.setDefaultTitle(m_window->startupValues().applicationTitle);
        QStringList buttons;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            QVERIFY(QTest::qWaitForWindowExposed(box));
            QCOMPARE(box->textFormat(), Qt::PlainText);
            for (QAbstractButton *button : box->buttons())
                buttons.append(button->text());
            if (qEnvironmentVariableIsSet("ITINERARY_SCREENSHOT")) {
                QTest::qWait(300); // the window manager's frame
                box->screen()->grabWindow(0).save(qEnvironmentVariable("ITINERARY_SCREENSHOT"));
            }
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        boxes.showMessage(u"票号位数不正确！"_s);
        QCOMPARE(buttons, QStringList{u"确定"_s});
    }

    // In order, each query starting from the page the previous one left: the home page, a
    // result page, the wrong-captcha page, a result page again.
    void queriesFillTheSheet_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("rightCode");
        QTest::addColumn<QString>("expected"); // empty: the sheet stays as it was
        // clang-format off
        QTest::newRow("from home: one segment")       << u"999-2101234567"_s << u"王小明"_s   << true  << u"result-one-segment.expected.json"_s;
        QTest::newRow("from the result: wrong code")  << u"7812102345678"_s  << u"李娜"_s     << false << QString();
        QTest::newRow("from the error: two segments") << u" 781-2102345678"_s << u" 李娜 "_s  << true  << u"result-two-segments.expected.json"_s;
        QTest::newRow("from the result: four")        << u"7842103456789"_s  << u"欧阳建国"_s << true  << u"result-four-segments.expected.json"_s;
        // clang-format on
    }
    void queriesFillTheSheet() {
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(bool, rightCode);
        QFETCH(QString, expected);
        MainPrint &w = *m_window;
        const QStringList before = w.sheet().texts();
        QVERIFY(captchaShown());
        // Typed in lower case: the bar upper-cases it.
        const QString code = rightCode ? m_lastCode.toLower() : u"zzzz"_s;

        const QString page = query(number, name, code);
        QVERIFY(!page.isEmpty());
        QVERIFY(m_messages.shown().isEmpty());
        // Every picture came with the page's session cookie: the site knows one session.
        QCOMPARE(m_site->sessionCount(), 1);
        if (expected.isEmpty()) {
            QVERIFY(page.contains(site::wrongCaptchaMessage()));
            QCOMPARE(w.sheet().texts(), before);
            return;
        }
        const QJsonObject fields = expectedFields(expected);
        for (auto it = fields.begin(); it != fields.end(); ++it)
            QCOMPARE(w.sheet().text(it.key().toInt()), it.value().toString());

        // The page as the browser gave it, saved and read by the command-line tool.
        QTemporaryDir dir;
        const QString saved = dir.filePath(u"page.html"_s);
        QFile file(saved);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(page.toUtf8());
        file.close();
        const QStringList cli = fieldsFromCli(saved);
        QCOMPARE(cli.size(), 59);
        for (auto it = fields.begin(); it != fields.end(); ++it)
            QCOMPARE(cli[it.key().toInt()], w.sheet().text(it.key().toInt()));
    }

    // A page without the query form: the operator is told, and the start page is loaded
    // again, from which the next query works.
    void pageWithoutTheFormIsNotReady() {
        MainPrint &w = *m_window;
        QSignalSpy pages(w.browser(), &BrowserControl::DownloadComplete);
        w.browser()->navigate(m_site->baseUrl().toString() + u"missing"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!pages.isEmpty(), PageTimeoutMs);
        pages.clear();

        ui(w).Tn->setText(u"9992101234567"_s);
        ui(w).Nm->setText(u"王小明"_s);
        ui(w).Text1->setText(m_lastCode);
        QTest::mouseClick(ui(w).Command1, Qt::LeftButton);
        // The page answers asynchronously.
        QTRY_COMPARE_WITH_TIMEOUT(m_messages.shown().size(), 1, PageTimeoutMs);
        QCOMPARE(m_messages.shown().first().text, u"验真网站页面未就绪，请稍后再试"_s);
        QVERIFY(ui(w).Command1->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!pages.isEmpty(), PageTimeoutMs);
        QVERIFY(pages.last().first().toString().contains(u"eticketNoORIn"_s));
        m_messages.clear();

        w.sheet().setText(0, QString());
        QVERIFY(captchaShown());
        QVERIFY(!query(u"9992101234567"_s, u"王小明"_s, m_lastCode).isEmpty());
        QCOMPARE(w.sheet().text(0), u"王小明"_s);
    }

private:
    std::unique_ptr<site::VerificationSite> m_site;
    int m_captchas = 0;
    QString m_lastCode;
    QTemporaryDir m_settings;
    RecordingMessages m_messages;
    std::unique_ptr<MainPrint> m_window;
    WId m_nativeWindow = 0;
    int m_nativeWindows = 0; // the window's native windows so far

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::WinIdChange && watched == m_window.get())
            ++m_nativeWindows;
        return false;
    }
};

int main(int argc, char *argv[]) {
    // The engine refuses to start as root inside its sandbox.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestWebQuery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_webquery.moc"
