// Start-up of the desktop window, each sample a fresh process, timed from process start: the
// application's main window (startup_main_window) against a plain Qt window of the same
// controls (startup_plain_window), alternately, in the same run. Both report when they were
// painted and usable ("up"); the main window also when it was final (its last native window
// painted: a window re-created after it appeared is not final before that), when its browser
// control existed and when the site's start page had completed in it. Run it on the offscreen
// platform and under a running X server (xvfb-run -a); it serves a local verification site.
//
//   bench_startup [SAMPLES]
//
// Prints each sample, the medians of every moment for both windows, and a last line
// "median plain_up=… window_up=… ratio=… final=… browser=… ready=…" for scripts.
#include "TicketFile.h"
#include "VerificationSite.h"

#include "startup/StartupProbe.h"

#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QProcess>
#include <QTextStream>

#include <algorithm>

#include <unistd.h>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

using Moments = QHash<QString, double>;

// The moments of one sample, from its "name=value ..." line; empty when it failed.
Moments runSample(const QString &program, const QStringList &arguments) {
    QProcess sample;
    sample.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;
    QObject::connect(&sample, &QProcess::finished, &loop, &QEventLoop::quit);
    const qint64 start = bench::StartupProbe::monotonicNs();
    // The parent keeps serving the site while the sample runs.
    sample.start(program, QStringList{QString::number(start)} + arguments);
    loop.exec();
    Moments moments;
    const QByteArray line = sample.readAllStandardOutput().trimmed();
    for (const QByteArray &pair : line.split(' ')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0)
            moments.insert(QString::fromUtf8(pair.left(equals)), pair.mid(equals + 1).toDouble());
    }
    return moments;
}

double median(const QList<Moments> &samples, const QString &name) {
    QList<double> values;
    for (const Moments &m : samples) {
        if (m.contains(name))
            values.append(m.value(name));
    }
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? -1 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

QString loadAverage() {
    QFile file(u"/proc/loadavg"_s);
    if (!file.open(QIODevice::ReadOnly))
        return u"?"_s;
    return QString::fromLatin1(file.readLine().split(' ').mid(0, 3).join(' '));
}

const QStringList Columns{u"main"_s, u"app"_s,   u"constructed"_s, u"shown"_s, u"painted"_s,
                          u"up"_s,   u"final"_s, u"browser"_s,     u"ready"_s, u"windows"_s};

QString row(const QString &label, const Moments &m) {
    QString text = label.leftJustified(14);
    for (const QString &column : Columns)
        text += (m.contains(column)
                     ? QString::number(m.value(column), 'f', column == u"windows"_s ? 0 : 1)
                     : u"-"_s)
                    .rightJustified(std::max<qsizetype>(column.size(), 7) + 2);
    return text;
}

} // namespace

int main(int argc, char *argv[]) {
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QGuiApplication app(argc, argv);
    const int samples = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 7;
    site::VerificationSite site(site::builtInTickets());
    const QString siteUrl = site.listen().toString();
    if (siteUrl.isEmpty()) {
        QTextStream(stderr) << "cannot start the local site\n";
        return 1;
    }
    const QString dir = QCoreApplication::applicationDirPath();
    const QString plainProgram = dir + u"/startup_plain_window"_s;
    const QString mainProgram = dir + u"/startup_main_window"_s;

    QTextStream out(stdout);
    out << "platform: " << QGuiApplication::platformName() << ", load average " << loadAverage()
        << "\nms from process start; windows: native windows the main window had\n"
        << u"sample"_s.leftJustified(14);
    for (const QString &column : Columns)
        out << column.rightJustified(std::max<qsizetype>(column.size(), 7) + 2);
    out << "\n";
    QList<Moments> plain, window;
    for (int i = 0; i < samples; ++i) {
        const Moments p = runSample(plainProgram, {});
        const Moments w = runSample(mainProgram, {siteUrl});
        if (p.contains(u"up"_s))
            plain.append(p);
        if (w.contains(u"up"_s))
            window.append(w);
        out << row(u"%1 plain"_s.arg(i), p) << "\n" << row(u"%1 window"_s.arg(i), w) << "\n";
        out.flush();
    }
    Moments plainMedians, windowMedians;
    for (const QString &column : Columns) {
        if (median(plain, column) >= 0)
            plainMedians.insert(column, median(plain, column));
        if (median(window, column) >= 0)
            windowMedians.insert(column, median(window, column));
    }
    out << row(u"median plain"_s, plainMedians) << "\n"
        << row(u"median window"_s, windowMedians) << "\n";
    const double ratio = windowMedians.value(u"up"_s, -1) / plainMedians.value(u"up"_s, 1);
    out << "window up / plain window up: " << QString::number(ratio, 'f', 2) << " (load average "
        << loadAverage() << ")\n";
    const auto figure = [&](const char *name, double value) {
        out << ' ' << name << '=' << QString::number(value, 'f', 1);
    };
    out << "median";
    figure("plain_up", plainMedians.value(u"up"_s, -1));
    figure("window_up", windowMedians.value(u"up"_s, -1));
    out << " ratio=" << QString::number(ratio, 'f', 2);
    figure("final", windowMedians.value(u"final"_s, -1));
    figure("browser", windowMedians.value(u"browser"_s, -1));
    figure("ready", windowMedians.value(u"ready"_s, -1));
    out << Qt::endl;
    return window.isEmpty() || plain.isEmpty() ? 1 : 0;
}
