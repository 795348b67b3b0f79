// web_load: a real itinerary-web process measured on loopback. First one agent alone imports a
// booking display and prints its receipt, round after round: the import and print round trips
// (median, p99). Then many agents at once, each its own user, session and counter, importing
// and printing in a loop: requests per second, latency (median, p99), the service's resident
// size. Every answer is checked (the sheet, a PDF with its check code, each counter's codes in
// sequence); a failed request, a service that stops answering or ends badly fails the run.
#include "LoadResult.h"
#include "ServiceProcess.h"
#include "WebSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <latch>
#include <mutex>
#include <optional>
#include <thread>

using namespace itinerary::load;
namespace test = itinerary::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const char Usage[] =
    "usage: web_load --service PROGRAM [--database URL] [--agents N] [--seconds N]\n"
    "                [--rounds N] [--pause-ms N] [--bookings DIR]\n"
    "\n"
    "  --service PROGRAM  itinerary-web: started on a free loopback port, stopped with SIGTERM\n"
    "  --database URL     its store (default: a new SQLite file in a scratch folder)\n"
    "  --agents N         agents working at once, each at a counter of their own (default 50)\n"
    "  --seconds N        how long they work, after a 2 s warm-up (default 60)\n"
    "  --rounds N         imports and prints of the lone agent (default 200)\n"
    "  --pause-ms N       an agent's pause after each print (default 0: none)\n"
    "  --bookings DIR     where the booking displays are\n";

// Displays of the test data that import into a printable receipt, taken in turn.
const QStringList BookingFiles{u"two_passengers_separate_lines.txt"_s, u"one_passenger.txt"_s,
                               u"twelve_passengers.txt"_s, u"international.txt"_s,
                               u"family_fares.txt"_s};
const QString Password = u"load-password"_s;
constexpr auto WarmUp = 2s;

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
    QString database;
    QString bookings = QString::fromUtf8(ITINERARY_BENCH_BOOKINGS);
    int agents = 50;
    int seconds = 60;
    int rounds = 200;
    int pauseMs = 0;
};

std::optional<Options> parse(const QStringList &arguments) {
    Options o;
    for (qsizetype i = 0; i + 1 < arguments.size(); i += 2) {
        const QString &a = arguments.at(i);
        const QString &value = arguments.at(i + 1);
        bool ok = true;
        if (a == u"--service")
            o.program = value;
        else if (a == u"--database")
            o.database = value;
        else if (a == u"--bookings")
            o.bookings = value;
        else if (a == u"--agents")
            o.agents = value.toInt(&ok);
        else if (a == u"--seconds")
            o.seconds = value.toInt(&ok);
        else if (a == u"--rounds")
            o.rounds = value.toInt(&ok);
        else if (a == u"--pause-ms")
            o.pauseMs = value.toInt(&ok);
        else
            return std::nullopt;
        if (!ok)
            return std::nullopt;
    }
    if (arguments.size() % 2 != 0 || o.program.isEmpty() || o.agents < 1 || o.seconds < 1 ||
        o.rounds < 1 || o.pauseMs < 0)
        return std::nullopt;
    return o;
}

// The import requests, one per booking display.
std::optional<QList<QByteArray>> importBodies(const QString &folder, QString *error) {
    QList<QByteArray> bodies;
    for (const QString &name : BookingFiles) {
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            *error = u"cannot read %1"_s.arg(file.fileName());
            return std::nullopt;
        }
        bodies.append(QJsonDocument(QJsonObject{{u"text"_s, QString::fromUtf8(file.readAll())}})
                          .toJson(QJsonDocument::Compact));
    }
    return bodies;
}

QString userName(int agent) {
    return u"agent%1"_s.arg(agent + 1, 2, 10, QLatin1Char('0'));
}
QString counterName(int agent) {
    return u"W%1"_s.arg(agent + 1, 2, 10, QLatin1Char('0'));
}

// An administrator of a fresh store, made with the program's own set-up command.
bool addAdministrator(const QString &program, const QString &database,
                      const QProcessEnvironment &environment, QString *error) {
    QProcess command;
    command.setProcessEnvironment(environment);
    command.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    command.start(program, {u"adduser"_s, u"loadadmin"_s, u"--role"_s, u"admin"_s, u"--database"_s,
                            database});
    command.write(Password.toUtf8() + '\n');
    command.closeWriteChannel();
    if (!command.waitForFinished(60000) || command.exitStatus() != QProcess::NormalExit ||
        command.exitCode() != 0) {
        *error = u"%1 adduser failed"_s.arg(program);
        return false;
    }
    return true;
}

// Every agent a user of their own and a counter of their own (whose codes start at 0001).
bool addAgents(quint16 port, int agents, QString *error) {
    WebSession admin(port);
    if (!admin.logIn(u"loadadmin"_s, Password, error))
        return false;
    // One more for the lone agent.
    for (int i = 0; i <= agents; ++i) {
        const QJsonObject user{
            {u"name"_s, userName(i)}, {u"role"_s, u"agent"_s}, {u"password"_s, Password}};
        const QJsonObject counter{{u"name"_s, counterName(i)},
                                  {u"checkCode"_s, u"0001"_s},
                                  {u"left"_s, u"0"_s},
                                  {u"top"_s, u"0"_s},
                                  {u"agents"_s, QJsonArray{userName(i)}}};
        for (const auto &[path, body] :
             {std::pair{"/api/users", user}, {"/api/counters", counter}}) {
            const test::WireAnswer answer = admin.post(path, QJsonDocument(body).toJson());
            if (answer.status != 200) {
                *error = u"%1: %2"_s.arg(QString::fromLatin1(path), answerSummary(answer));
                return false;
            }
        }
    }
    return true;
}

// The timings of one kind of request, with what went wrong.
struct Timings {
    LoadResult import;
    LoadResult print;
    qint64 cycles = 0;

    void merge(const Timings &other) {
        for (auto [into, from] : {std::pair{&import, &other.import}, {&print, &other.print}}) {
            into->answered += from->answered;
            into->failed += from->failed;
            into->latenciesMs.insert(into->latenciesMs.end(), from->latenciesMs.begin(),
                                     from->latenciesMs.end());
            for (const QString &f : from->failures) {
                if (into->failures.size() < 10)
                    into->failures.append(f);
            }
        }
        cycles += other.cycles;
    }
};

void failed(LoadResult &result, const QString &reason) {
    ++result.failed;
    if (result.failures.size() < 10)
        result.failures.append(reason);
}

// One agent at their counter: the session, the booking they import, the code they expect.
class Agent {
public:
    Agent(quint16 port, int index, const QByteArray &importBody)
        : m_session(port)
        , m_index(index)
        , m_importBody(importBody) {}

    bool logIn(QString *error) { return m_session.logIn(userName(m_index), Password, error); }

    // One import and one print; their times go to `into` when `counted`.
    void cycle(Timings &into, bool counted) {
        QElapsedTimer clock;
        clock.start();
        const test::WireAnswer sheet = m_session.post("/api/import", m_importBody);
        const double importMs = double(clock.nsecsElapsed()) / 1e6;
        if (sheet.status != 200 || !sheet.body.contains("\"fields\":[")) {
            failed(into.import, u"import: "_s + answerSummary(sheet));
            return;
        }
        const QByteArray print = "{\"counter\":\"" + counterName(m_index).toLatin1() +
                                 "\",\"sheet\":" + sheet.body + '}';
        clock.start();
        const test::WireAnswer receipt = m_session.post("/api/print", print);
        const double printMs = double(clock.nsecsElapsed()) / 1e6;
        const QByteArray code = receipt.header("X-Check-Code");
        if (receipt.status != 200 || !receipt.body.startsWith("%PDF-")) {
            failed(into.print, u"print: "_s + answerSummary(receipt));
            return;
        }
        // The counter's codes one after the other: none lost, none given twice.
        if (code != m_expectedCode) {
            failed(into.print, u"print at %1 gave the check code %2, not %3"_s.arg(
                                   counterName(m_index), QString::fromLatin1(code),
                                   QString::fromLatin1(m_expectedCode)));
        }
        m_expectedCode = QByteArray::number((code.toInt() + 1) % 10000).rightJustified(4, '0');
        if (!counted)
            return;
        into.import.answered++;
        into.import.latenciesMs.push_back(importMs);
        into.print.answered++;
        into.print.latenciesMs.push_back(printMs);
        into.cycles++;
    }

private:
    WebSession m_session;
    int m_index;
    QByteArray m_importBody;
    QByteArray m_expectedCode = "0001";
};

QString medianAndP99(const LoadResult &result) {
    return u"median %1 ms, p99 %2 ms"_s.arg(result.percentileMs(0.5), 0, 'f', 1)
        .arg(result.percentileMs(0.99), 0, 'f', 1);
}

// Both kinds of request as one.
LoadResult together(const Timings &timings) {
    LoadResult all = timings.import;
    all.latenciesMs.insert(all.latenciesMs.end(), timings.print.latenciesMs.begin(),
                           timings.print.latenciesMs.end());
    return all;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const std::optional<Options> options = parse(app.arguments().mid(1));
    if (!options) {
        std::fputs(Usage, stderr);
        return 2;
    }
    QString error;
    const std::optional<QList<QByteArray>> bookings = importBodies(options->bookings, &error);
    if (!bookings) {
        say(u"FAILED: "_s + error);
        return 1;
    }

    // The service's settings and store in a scratch folder, never the user's.
    QTemporaryDir scratch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, scratch.filePath(u"config"_s));
    const QString database = options->database.isEmpty()
                                 ? u"sqlite://"_s + scratch.filePath(u"web.sqlite"_s)
                                 : options->database;
    if (!addAdministrator(options->program, database, environment, &error)) {
        say(u"FAILED: "_s + error);
        return 1;
    }
    // As the packaged unit starts it: every agent here comes from the one loopback address,
    // as every counter does from the proxy's.
    const std::unique_ptr<ServiceProcess> service = ServiceProcess::start(
        options->program, &error,
        {u"--database"_s, database, u"--connections-per-address"_s, u"256"_s}, environment);
    if (!service || !addAgents(service->port(), options->agents, &error)) {
        say(u"FAILED: "_s + error);
        return 1;
    }
    const qint64 idleKiB = service->residentKiB().value_or(0);
    QStringList failures;

    // The lone agent, at a counter of their own (the last user): nothing else asks the
    // service meanwhile. The first rounds fill what a running service keeps (fonts, threads,
    // connections).
    Timings alone;
    {
        Agent lone(service->port(), options->agents, bookings->constFirst());
        if (!lone.logIn(&error)) {
            say(u"FAILED: "_s + error);
            return 1;
        }
        for (int round = 0; round < 10 + options->rounds; ++round)
            lone.cycle(alone, round >= 10);
    }
    say(u"round trips, one agent, %1 rounds: import %2; print %3"_s.arg(options->rounds)
            .arg(medianAndP99(alone.import), medianAndP99(alone.print)));

    // Every agent at once, each on a thread of their own (where their connection lives),
    // logged in before the clock starts.
    Timings load;
    std::mutex loadLock;
    std::atomic<int> working{options->agents};
    std::latch loggedIn(options->agents);
    std::latch go(1);
    QElapsedTimer clock;
    const auto measuredFrom = WarmUp;
    const auto until = WarmUp + std::chrono::seconds(options->seconds);
    std::vector<std::thread> threads;
    for (int i = 0; i < options->agents; ++i) {
        threads.emplace_back([&, i] {
            Timings mine;
            Agent agent(service->port(), i, bookings->at(i % bookings->size()));
            QString why;
            const bool in = agent.logIn(&why);
            if (!in)
                failed(mine.import, why);
            loggedIn.count_down();
            go.wait();
            while (in && clock.elapsed() < until.count() * 1000) {
                const bool counted = clock.elapsed() >= measuredFrom.count() * 1000;
                agent.cycle(mine, counted);
                if (options->pauseMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(options->pauseMs));
            }
            std::lock_guard lock(loadLock);
            load.merge(mine);
            --working;
        });
    }
    loggedIn.wait();
    clock.start();
    go.count_down();
    qint64 startKiB = 0;
    qint64 peakKiB = 0;
    while (working.load() > 0) {
        std::this_thread::sleep_for(250ms);
        const qint64 now = service->residentKiB().value_or(0);
        if (startKiB == 0 && clock.elapsed() >= measuredFrom.count() * 1000)
            startKiB = now;
        peakKiB = std::max(peakKiB, now);
    }
    for (std::thread &thread : threads)
        thread.join();
    const double seconds = double(options->seconds);
    const qint64 endKiB = service->residentKiB().value_or(0);
    const LoadResult all = together(load);

    say(u"load: %1 agents for %2 s (pause %3 ms): %4 imports and prints, %5 failed, %6 per "
        "second (%7 requests per second)"_s.arg(options->agents)
            .arg(options->seconds)
            .arg(options->pauseMs)
            .arg(load.cycles)
            .arg(load.import.failed + load.print.failed + alone.import.failed + alone.print.failed)
            .arg(double(load.cycles) / seconds, 0, 'f', 1)
            .arg(2.0 * double(load.cycles) / seconds, 0, 'f', 1));
    say(u"latency under load: every request %1; import %2; print %3"_s.arg(
        medianAndP99(all), medianAndP99(load.import), medianAndP99(load.print)));
    say(u"resident: %1 MiB idle, %2 MiB after the warm-up, %3 MiB after the load, %4 MiB at "
        "most during it"_s.arg(mib(idleKiB), 0, 'f', 1)
            .arg(mib(startKiB), 0, 'f', 1)
            .arg(mib(endKiB), 0, 'f', 1)
            .arg(mib(peakKiB), 0, 'f', 1));
    for (const LoadResult *result : {&alone.import, &alone.print, &load.import, &load.print}) {
        for (const QString &reason : result->failures)
            say(u"  failed: "_s + reason);
    }
    const qint64 failedRequests =
        alone.import.failed + alone.print.failed + load.import.failed + load.print.failed;
    if (failedRequests > 0)
        failures.append(u"%1 failed requests"_s.arg(failedRequests));
    if (load.cycles == 0)
        failures.append(u"no receipt printed under load"_s);

    const test::WireAnswer form = test::exchange(
        service->port(), "GET /api/form HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    if (!service->running())
        failures.append(u"the service is gone"_s);
    else if (form.status != 200)
        failures.append(u"the service no longer answers: "_s + answerSummary(form));
    const qint64 hwmKiB = service->peakResidentKiB().value_or(0);

    // One line for the bench command to pick the figures from.
    say(u"figures: import_median_ms=%1 import_p99_ms=%2 print_median_ms=%3 print_p99_ms=%4 "
        "cycles_per_s=%5 requests_per_s=%6 load_median_ms=%7 load_p99_ms=%8 "
        "load_import_p99_ms=%9 load_print_p99_ms=%10 peak_kib=%11 hwm_kib=%12"_s
            .arg(alone.import.percentileMs(0.5), 0, 'f', 1)
            .arg(alone.import.percentileMs(0.99), 0, 'f', 1)
            .arg(alone.print.percentileMs(0.5), 0, 'f', 1)
            .arg(alone.print.percentileMs(0.99), 0, 'f', 1)
            .arg(double(load.cycles) / seconds, 0, 'f', 1)
            .arg(2.0 * double(load.cycles) / seconds, 0, 'f', 1)
            .arg(all.percentileMs(0.5), 0, 'f', 1)
            .arg(all.percentileMs(0.99), 0, 'f', 1)
            .arg(load.import.percentileMs(0.99), 0, 'f', 1)
            .arg(load.print.percentileMs(0.99), 0, 'f', 1)
            .arg(peakKiB)
            .arg(hwmKiB));

    if (service->running() && !service->stop(&error))
        failures.append(error);
    for (const QString &f : failures)
        say(u"FAILED: "_s + f);
    if (failures.isEmpty())
        say(u"PASSED"_s);
    return failures.isEmpty() ? 0 : 1;
}
