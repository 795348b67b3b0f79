// The main window as an operator sees it, under an X server with a window manager
// (under-window-manager.sh): it keeps the native window it first appeared in while the browser
// engine starts behind it and the site's start page completes (a window that gets a new native
// window flickers), and its message boxes speak Chinese.
#include "TestPaths.h"

#include "WindowControls.h"
#include "app/MainPrint.h"
#include "app/QtTranslations.h"

#include "TicketFile.h"
#include "VerificationSite.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <unistd.h>

using namespace itinerary;
using namespace itinerary::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int PageTimeoutMs = 30000;

} // namespace

class TestNativeWindow final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
        QVERIFY(installQtTranslations(*qApp));
        m_site = std::make_unique<site::VerificationSite>(site::builtInTickets());
        QVERIFY(!m_site->listen().isEmpty());
        Config c;
        c.serviceBaseUrl = u"http://127.0.0.1:9/"_s;
        c.siteHomeUrl = m_site->baseUrl().toString();
        c.captchaUrl = Config::captchaUrlFor(c.siteHomeUrl);
        c.settingsDirectory = m_settings.path();
        c.browserEngineFile = QStringLiteral(ITINERARY_BROWSER_ENGINE);
        c.loadTimeoutMs = 5000;
        m_window = std::make_unique<MainPrint>(c);
    }

    void cleanupTestCase() {
        m_window.reset();
        m_site.reset();
    }

    // From the first map until a second after the site's start page has completed (a window
    // that Qt re-creates gets a new X window id).
    void windowKeepsItsNativeWindow() {
        MainPrint &w = *m_window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const WId first = w.windowHandle()->winId();
        QTRY_VERIFY_WITH_TIMEOUT(w.pageReady(), PageTimeoutMs);
        QTest::qWait(1000);
        QCOMPARE(w.windowHandle()->winId(), first);
        // The window manager framed it: this ran under a real one.
        QVERIFY(!w.windowHandle()->frameMargins().isNull());
    }

    // A message of the query bar, in the box the operator sees; ITINERARY_SCREENSHOT names a
    // file for a picture of the screen with the box on it.
    void messageBoxSaysOk() {
        MainPrint &w = *m_window;
        QStringList buttons;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            QVERIFY(QTest::qWaitForWindowExposed(box));
            QCOMPARE(box->textFormat(), Qt::PlainText); // a page's markup is shown as it is
            for (QAbstractButton *button : box->buttons())
                buttons.append(button->text());
            if (qEnvironmentVariableIsSet("ITINERARY_SCREENSHOT")) {
                QTest::qWait(300); // the window manager's frame
                box->screen()->grabWindow(0).save(qEnvironmentVariable("ITINERARY_SCREENSHOT"));
            }
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        ui(w).Tn->setText(u"999-21012"_s);
        QTest::mouseClick(ui(w).Command1, Qt::LeftButton);
        QCOMPARE(buttons, QStringList{u"确定"_s});
    }

private:
    QTemporaryDir m_settings;
    std::unique_ptr<site::VerificationSite> m_site;
    std::unique_ptr<MainPrint> m_window;
};

int main(int argc, char *argv[]) {
    // The engine refuses to start as root inside its sandbox.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    TestNativeWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_nativewindow.moc"
