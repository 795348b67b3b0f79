// Start-up figures of the desktop window, each from a fresh process: the time from process
// start until the main window has been painted and its event loop is idle, until the
// browser control exists, and until the verification site's start page has completed in it
// (with its captcha picture). Run it on the offscreen platform and under a running X server
// (xvfb-run -a); it starts a local verification site for the page.
//
//   bench_startup [SAMPLES]
#include "app/Config.h"
#include "app/MainPrint.h"
#include "webimport/ui/BrowserControl.h"

#include "TicketFile.h"
#include "VerificationSite.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <ctime>

#include <unistd.h>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// One sample: prints "painted-and-idle browser-created page-complete" in milliseconds
// since `startNs` (the parent's clock reading right before it started this process).
int runSample(int argc, char *argv[], qint64 startNs, const QString &siteUrl) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const auto sinceStart = [startNs] { return double(monotonicNs() - startNs) / 1e6; };

    QTemporaryDir settings;
    Config config = Config::fromBuild();
    config.siteHomeUrl = siteUrl;
    config.captchaUrl = Config::captchaUrlFor(siteUrl);
    config.settingsDirectory = settings.path();
    MainPrint window(config);

    double idle = -1, created = -1, complete = -1;
    // Painted: the window's first paint event; idle: the event loop about to wait after it.
    struct PaintWatch final : QObject {
        std::function<void()> onPaint;
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint && onPaint) {
                auto once = std::move(onPaint);
                onPaint = nullptr;
                once();
            }
            return false;
        }
    } watch;
    watch.onPaint = [&] {
        QObject::connect(
            QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &app,
            [&] { idle = sinceStart(); }, Qt::SingleShotConnection);
    };
    window.installEventFilter(&watch);
    QObject::connect(&window, &MainPrint::browserCreated, &app, [&] {
        created = sinceStart();
        QObject::connect(
            window.browser(), &BrowserControl::DocumentComplete, &app,
            [&] {
                // The window's own handler (captcha included) runs first.
                QTimer::singleShot(0, &app, [&] {
                    complete = sinceStart();
                    app.quit();
                });
            },
            Qt::SingleShotConnection);
    });
    QTimer::singleShot(30000, &app, &QApplication::quit);
    window.show();
    app.exec();
    QTextStream(stdout) << idle << ' ' << created << ' ' << complete << Qt::endl;
    return complete < 0 ? 1 : 0;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? -1 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

} // namespace

int main(int argc, char *argv[]) {
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (argc == 4 && qstrcmp(argv[1], "--sample") == 0)
        return runSample(argc, argv, QByteArray(argv[2]).toLongLong(), QString::fromUtf8(argv[3]));

    QApplication app(argc, argv);
    const int samples = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;
    site::VerificationSite site(site::builtInTickets());
    const QString siteUrl = site.listen().toString();
    if (siteUrl.isEmpty()) {
        QTextStream(stderr) << "cannot start the local site\n";
        return 1;
    }

    QList<double> idle, created, complete;
    QTextStream out(stdout);
    out << "platform: " << QGuiApplication::platformName() << "\n"
        << "sample  painted+idle  browser created  start page complete  (ms from process start)\n";
    for (int i = 0; i < samples; ++i) {
        QProcess sample;
        sample.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QEventLoop loop;
        QObject::connect(&sample, &QProcess::finished, &loop, &QEventLoop::quit);
        const qint64 start = monotonicNs();
        // The parent keeps serving the site while the sample runs.
        sample.start(QCoreApplication::applicationFilePath(),
                     {u"--sample"_s, QString::number(start), siteUrl});
        loop.exec();
        const QList<QByteArray> figures = sample.readAllStandardOutput().trimmed().split(' ');
        if (figures.size() != 3) {
            QTextStream(stderr) << "sample " << i << " failed\n";
            continue;
        }
        idle.append(figures[0].toDouble());
        created.append(figures[1].toDouble());
        complete.append(figures[2].toDouble());
        out << qSetFieldWidth(6) << i << qSetFieldWidth(14) << idle.last() << qSetFieldWidth(17)
            << created.last() << qSetFieldWidth(21) << complete.last() << qSetFieldWidth(0) << "\n";
        out.flush();
    }
    out << "median" << qSetFieldWidth(14) << median(idle) << qSetFieldWidth(17) << median(created)
        << qSetFieldWidth(21) << median(complete) << qSetFieldWidth(0) << "\n";
    return 0;
}
