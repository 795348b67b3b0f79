// render_load: a real itinerary-render process under a bounded load on loopback, then the
// malformed requests it must survive. The test command runs it for 10 s against the packaged
// program and fails on any failed request, a resident size that grows by 20 MiB or more, a
// malformed request answered wrongly, or a service that stops answering or ends badly. The
// bench command runs the same for 60 s and keeps the figures. Given only a port (a balancer in
// front of several services), it measures the load alone: no process to watch or stop.
#include "LoadClient.h"
#include "MalformedRequests.h"
#include "ServiceProcess.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <optional>

using namespace itinerary::load;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const char Usage[] =
    "usage: render_load (--service PROGRAM | --port PORT [--pid PID]) [--seconds N]\n"
    "                   [--connections N] [--max-growth-mib N] [--no-malformed]\n"
    "\n"
    "  --service PROGRAM   start PROGRAM --listen 127.0.0.1:0 and stop it with SIGTERM at the end\n"
    "  --port, --pid       a service already listening on 127.0.0.1:PORT, process PID; without\n"
    "                      --pid (a balancer, say) no process is watched or stopped\n"
    "  --seconds N         load duration after a 1 s warm-up (default 10)\n"
    "  --connections N     concurrent connections (default 32)\n"
    "  --max-growth-mib N  largest resident size growth allowed over the load (default 20)\n"
    "  --no-malformed      only the load\n";

void say(const QString &text) {
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

double mib(qint64 kib) {
    return double(kib) / 1024.0;
}

struct Options {
    QString program;
    quint16 port = 0;
    qint64 pid = 0;
    int seconds = 10;
    int connections = 32;
    int maxGrowthMib = 20;
    bool malformed = true;
};

std::optional<Options> parse(const QStringList &arguments) {
    Options o;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == u"--no-malformed") {
            o.malformed = false;
            continue;
        }
        if (i + 1 >= arguments.size())
            return std::nullopt;
        const QString value = arguments.at(++i);
        bool ok = true;
        if (a == u"--service")
            o.program = value;
        else if (a == u"--port")
            o.port = value.toUShort(&ok);
        else if (a == u"--pid")
            o.pid = value.toLongLong(&ok);
        else if (a == u"--seconds")
            o.seconds = value.toInt(&ok);
        else if (a == u"--connections")
            o.connections = value.toInt(&ok);
        else if (a == u"--max-growth-mib")
            o.maxGrowthMib = value.toInt(&ok);
        else
            return std::nullopt;
        if (!ok)
            return std::nullopt;
    }
    const bool attached = o.port > 0;
    if (o.program.isEmpty() == !attached || o.seconds < 1 || o.connections < 1)
        return std::nullopt;
    return o;
}

// Samples the service's resident size while the load runs.
class ResidentSampler final {
public:
    explicit ResidentSampler(const ServiceProcess &service)
        : m_service(service) {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { sample(); });
        m_timer.start(250);
    }
    qint64 peakKiB() const { return m_peak; }

private:
    void sample() { m_peak = std::max(m_peak, m_service.residentKiB().value_or(0)); }

    const ServiceProcess &m_service;
    QTimer m_timer;
    qint64 m_peak = 0;
};

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const std::optional<Options> options = parse(app.arguments().mid(1));
    if (!options) {
        std::fputs(Usage, stderr);
        return 2;
    }

    QString error;
    std::unique_ptr<ServiceProcess> service;
    if (!options->program.isEmpty()) {
        service = ServiceProcess::start(options->program, &error);
        if (!service) {
            say(u"FAILED: "_s + error);
            return 1;
        }
    } else {
        service = std::make_unique<ServiceProcess>(options->port, options->pid);
    }
    QStringList failures;
    // A balancer's port alone: its services are not this program's to watch.
    const bool watched = service->pid() > 0;
    const qint64 idleKiB = service->residentKiB().value_or(0);

    // The warm-up fills what a running service keeps (fonts, render threads, buffers for this
    // many connections); growth is measured from there.
    LoadOptions load;
    load.port = service->port();
    load.connections = options->connections;
    load.duration = 1s;
    const LoadResult warmUp = LoadClient(load).run();
    const qint64 startKiB = service->residentKiB().value_or(0);

    load.duration = std::chrono::seconds(options->seconds);
    LoadResult result;
    qint64 peakKiB = 0;
    {
        ResidentSampler sampler(*service);
        result = LoadClient(load).run();
        peakKiB = sampler.peakKiB();
    }
    const qint64 endKiB = service->residentKiB().value_or(0);
    const qint64 growthKiB = endKiB - startKiB;

    say(u"load: %1 connections for %2 s: %3 pictures, %4 failed, %5 per second"_s
            .arg(options->connections)
            .arg(result.seconds, 0, 'f', 1)
            .arg(result.answered)
            .arg(result.failed + warmUp.failed)
            .arg(result.perSecond(), 0, 'f', 1));
    say(u"latency: median %1 ms, p99 %2 ms"_s.arg(result.percentileMs(0.5), 0, 'f', 1)
            .arg(result.percentileMs(0.99), 0, 'f', 1));
    if (watched)
        say(u"resident: %1 MiB idle, %2 MiB after the warm-up, %3 MiB after the load "
            "(growth %4 MiB), %5 MiB at most during it"_s.arg(mib(idleKiB), 0, 'f', 1)
                .arg(mib(startKiB), 0, 'f', 1)
                .arg(mib(endKiB), 0, 'f', 1)
                .arg(mib(growthKiB), 0, 'f', 1)
                .arg(mib(peakKiB), 0, 'f', 1));
    for (const QString &reason : warmUp.failures + result.failures)
        say(u"  failed: "_s + reason);
    if (result.failed + warmUp.failed > 0)
        failures.append(u"%1 failed requests"_s.arg(result.failed + warmUp.failed));
    if (result.answered == 0)
        failures.append(u"no picture at all"_s);
    if (watched && (startKiB == 0 || endKiB == 0))
        failures.append(u"the resident size could not be read"_s);
    if (watched && growthKiB >= qint64(options->maxGrowthMib) * 1024)
        failures.append(u"resident size grew by %1 MiB"_s.arg(mib(growthKiB), 0, 'f', 1));

    if (options->malformed) {
        const MalformedReport report = sendMalformedRequests(service->port());
        for (const QString &line : report.lines)
            say(u"malformed: "_s + line);
        for (const QString &line : report.failures)
            failures.append(u"wrongly answered: "_s + line);
    }

    QString problem;
    if (watched && !service->running())
        failures.append(u"the service is gone"_s);
    else if (!serviceAnswers(service->port(), &problem))
        failures.append(u"the service no longer answers: "_s + problem);
    else
        say(u"afterwards: /health answers \"ok\" and a print request the picture"_s);

    const qint64 hwmKiB = service->peakResidentKiB().value_or(0);
    // One line for the bench command to pick the figures from.
    const QString memory =
        watched ? u" growth_kib=%1 peak_kib=%2"_s.arg(growthKiB).arg(hwmKiB) : QString();
    say(u"figures: per_second=%1 median_ms=%2 p99_ms=%3%4"_s.arg(result.perSecond(), 0, 'f', 1)
            .arg(result.percentileMs(0.5), 0, 'f', 1)
            .arg(result.percentileMs(0.99), 0, 'f', 1)
            .arg(memory));

    if (watched && service->running() && !service->stop(&error))
        failures.append(error);
    for (const QString &f : failures)
        say(u"FAILED: "_s + f);
    if (failures.isEmpty())
        say(u"PASSED"_s);
    return failures.isEmpty() ? 0 : 1;
}
