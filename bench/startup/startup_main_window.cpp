// The measured side of the start-up benchmark: the application's main window, started as the
// application starts it, with a temporary settings folder and the benchmark's local site.
// Started by bench_startup as
//
//   startup_main_window START_NS SITE_URL
//
// it prints the moments of its start-up (see StartupProbe) on one line and exits: besides
// the window's, "browser" (the browser control exists) and "ready" (the site's start page
// has completed in it and the window has handled that, captcha picture included).
#include "StartupProbe.h"

#include "app/Config.h"
#include "app/MainPrint.h"
#include "app/QtTranslations.h"
#include "webimport/ui/BrowserControl.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

using namespace itinerary;
using namespace Qt::StringLiterals;

int main(int argc, char *argv[]) {
    bench::StartupProbe probe(argc > 1 ? QByteArray(argv[1]).toLongLong() : 0);
    const QString siteUrl = argc > 2 ? QString::fromUtf8(argv[2]) : QString();
    QApplication app(argc, argv);
    installQtTranslations(app);
    probe.mark(u"app"_s);

    QTemporaryDir settings;
    Config config = Config::fromBuild();
    config.siteHomeUrl = siteUrl;
    config.captchaUrl = Config::captchaUrlFor(siteUrl);
    config.settingsDirectory = settings.path();
    config.browserEngineFile = QStringLiteral(ITINERARY_BROWSER_ENGINE);
    MainPrint window(config);
    probe.mark(u"constructed"_s);
    probe.watch(&window);

    QObject::connect(&window, &MainPrint::browserCreated, &app, [&] {
        probe.mark(u"browser"_s);
        QObject::connect(
            window.browser(), &BrowserControl::DocumentComplete, &app,
            [&] {
                // The window's own handler (captcha included) runs first.
                QTimer::singleShot(0, &app, [&] {
                    probe.mark(u"ready"_s);
                    // Time enough for a late re-creation of the window to show.
                    QTimer::singleShot(300, &app, &QApplication::quit);
                });
            },
            Qt::SingleShotConnection);
    });
    QTimer::singleShot(30000, &app, &QApplication::quit);
    window.show();
    probe.mark(u"shown"_s);
    app.exec();
    QTextStream(stdout) << probe.report() << Qt::endl;
    return 0;
}
