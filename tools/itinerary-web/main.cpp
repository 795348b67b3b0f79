// itinerary-web: the web counter's service, and the commands that set up its first users
// and counters (DATABASE: --database URL or --database-file FILE, else the environment's
// ITINERARY_DATABASE_URL, else journal.ini's).
//   itinerary-web [--listen ADDR:PORT] [DATABASE] [...]          serve the counters
//   itinerary-web adduser NAME --role ROLE [DATABASE]             password on standard input
//   itinerary-web addcounter NAME [--check-code NNNN] [--left MM] [--top MM]
//                            [--agents USER,USER] [--queue CUPS-QUEUE] [DATABASE]
#include "ApiCall.h"
#include "BuildConfig.h"
#include "CounterCore.h"
#include "CounterValues.h"
#include "ListenAddress.h"
#include "ToolCommandLine.h"
#include "ToolOutput.h"
#include "WebLog.h"
#include "WebLogMessages.h"
#include "WebSecrets.h"
#include "WebService.h"

#include "base/Clock.h"
#include "desk/PrintDesk.h"
#include "http/StopSignals.h"
#include "http/SystemdLogPriorities.h"
#include "journal/JournalSettings.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

using namespace itinerary;
using namespace itinerary::web;
using namespace Qt::StringLiterals;

namespace {

const QString Synopsis =
    u"usage: itinerary-web [--listen ADDR:PORT] [DATABASE] [--help] [--version]\n"
    "       itinerary-web adduser NAME --role agent|supervisor|admin [DATABASE]\n"
    "       itinerary-web addcounter NAME [--check-code NNNN] [--left MM] [--top MM]\n"
    "                     [--agents USER,USER] [--queue CUPS-QUEUE] [DATABASE]\n"
    "DATABASE: --database URL or --database-file FILE"_s;
const QString Description =
    u"Serves the web counter's API for the counters' browsers. Its store is the print\n"
    "journal's database: --database, else --database-file, else ITINERARY_DATABASE_URL,\n"
    "else journal.ini in the settings folder, else journal.sqlite there. adduser reads the\n"
    "password from standard input. Prints its base address (http://ADDR:PORT/) as the first\n"
    "line of standard output."_s;

void printError(const QString &text) {
    printProgramError("itinerary-web", text);
}

// Parses the command's options; the exit status when the program ends here.
std::optional<int> parse(QCommandLineParser &parser, const QStringList &arguments,
                         const QList<QCommandLineOption> &options) {
    const QCommandLineOption helpOption({u"h"_s, u"help"_s}, u"this text"_s);
    const QCommandLineOption versionOption(u"version"_s, u"the program's version"_s);
    parser.addOptions(options);
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    if (!parser.parse(QStringList{u"itinerary-web"_s} + arguments)) {
        printError(parser.errorText());
        return ExitUsage;
    }
    if (parser.isSet(helpOption)) {
        writeTo(stdout, commandHelpText(Synopsis, Description, parser));
        return ExitOk;
    }
    if (parser.isSet(versionOption)) {
        writeTo(stdout, u"itinerary-web " ITINERARY_VERSION "\n"_s);
        return ExitOk;
    }
    return std::nullopt;
}

const QCommandLineOption DatabaseOption(u"database"_s, QLatin1String(DatabaseOptionHelp), u"URL"_s);
const QCommandLineOption DatabaseFileOption(u"database-file"_s,
                                            QLatin1String(DatabaseFileOptionHelp), u"FILE"_s);

// The database by the journal's own rule, in the settings folder the window uses:
// --database, --database-file or the environment's address, else journal.ini's.
std::optional<DatabaseAddress> storeAddress(const QCommandLineParser &parser, QString *error) {
    JournalSettings settings = JournalSettings::read(DeskSetup::fromBuild().settingsDirectory);
    if (const Result<> chosen =
            settings.choose({parser.value(DatabaseOption), parser.value(DatabaseFileOption),
                             DatabaseChoice::environment()});
        !chosen) {
        *error = chosen.error();
        return std::nullopt;
    }
    for (const QString &warning : std::as_const(settings.warnings))
        printError(warning);
    if (!settings.problem.isEmpty()) {
        *error = settings.problem;
        return std::nullopt;
    }
    return settings.database;
}

// Opens the store for a set-up command; prints why not.
std::unique_ptr<WebStore> openStore(const QCommandLineParser &parser) {
    QString error;
    const std::optional<DatabaseAddress> address = storeAddress(parser, &error);
    if (!address) {
        printError(error);
        return nullptr;
    }
    try {
        return std::make_unique<WebStore>(*address);
    } catch (const StoreFailure &failure) {
        printError(failure.message);
        return nullptr;
    }
}

// Runs a set-up command's work: a refused value ends it as a refused command line, a store
// that fails as a failure, each with its message.
int runSetupCommand(const std::function<int()> &work) {
    try {
        return work();
    } catch (const ApiRefusal &refusal) {
        printError(refusal.message);
        return ExitUsage;
    } catch (const StoreFailure &failure) {
        printError(failure.message);
        return ExitFailed;
    }
}

int addUser(int argc, char *argv[], const QStringList &arguments) {
    QCommandLineParser parser;
    const QCommandLineOption roleOption(u"role"_s, u"agent, supervisor or admin"_s, u"ROLE"_s);
    if (const std::optional<int> status =
            parse(parser, arguments, {roleOption, DatabaseOption, DatabaseFileOption}))
        return *status;
    if (parser.positionalArguments().size() != 1 || !parser.isSet(roleOption)) {
        printError(u"adduser NAME --role ROLE"_s);
        return ExitUsage;
    }
    std::string line;
    std::getline(std::cin, line);
    QString password = QString::fromStdString(line);
    if (password.endsWith(u'\r'))
        password.chop(1);
    QCoreApplication app(argc, argv);
    return runSetupCommand([&]() {
        WebUser user{checkedName(parser.positionalArguments().constFirst()),
                     checkedRole(parser.value(roleOption)),
                     {}};
        if (password.size() < 8)
            throw ApiRefusal{400, u"密码至少需要8个字符"_s};
        user.passwordHash = hashPassword(password);
        const std::unique_ptr<WebStore> store = openStore(parser);
        if (!store || user.passwordHash.isEmpty())
            return ExitFailed;
        store->saveUser(user);
        return ExitOk;
    });
}

int addCounter(int argc, char *argv[], const QStringList &arguments) {
    QCommandLineParser parser;
    const QCommandLineOption codeOption(u"check-code"_s, u"the next form's check code"_s, u"NNNN"_s,
                                        u"0000"_s);
    const QCommandLineOption leftOption(u"left"_s, u"offset to the right (mm)"_s, u"MM"_s, u"0"_s);
    const QCommandLineOption topOption(u"top"_s, u"offset down (mm)"_s, u"MM"_s, u"0"_s);
    const QCommandLineOption agentsOption(u"agents"_s, u"the agents who work there"_s,
                                          u"USER,USER"_s);
    const QCommandLineOption queueOption(u"queue"_s, u"print on this CUPS queue of the server"_s,
                                         u"CUPS-QUEUE"_s);
    if (const std::optional<int> status = parse(parser, arguments,
                                                {codeOption, leftOption, topOption, agentsOption,
                                                 queueOption, DatabaseOption, DatabaseFileOption}))
        return *status;
    if (parser.positionalArguments().size() != 1) {
        printError(u"addcounter NAME [options]"_s);
        return ExitUsage;
    }
    QCoreApplication app(argc, argv);
    return runSetupCommand([&]() {
        CounterRecord counter;
        counter.name = checkedName(parser.positionalArguments().constFirst());
        counter.checkCode = checkedCheckCode(parser.value(codeOption));
        counter.leftOffsetMm = checkedOffset(parser.value(leftOption));
        counter.topOffsetMm = checkedOffset(parser.value(topOption));
        counter.queue = checkedQueue(parser.value(queueOption));
        const std::unique_ptr<WebStore> store = openStore(parser);
        if (!store)
            return ExitFailed;
        for (const QString &agent : parser.value(agentsOption).split(u',', Qt::SkipEmptyParts)) {
            if (!store->user(agent.trimmed())) {
                printError(u"没有此用户：%1"_s.arg(agent.trimmed()));
                return ExitFailed;
            }
            counter.agents.append(agent.trimmed());
        }
        store->saveCounter(counter);
        return ExitOk;
    });
}

std::chrono::milliseconds seconds(const QCommandLineParser &parser,
                                  const QCommandLineOption &option, bool *ok) {
    const double value = parser.value(option).toDouble(ok);
    *ok = *ok && value > 0;
    return std::chrono::milliseconds(qint64(value * 1000));
}

int serve(int argc, char *argv[], const QStringList &arguments) {
    QCommandLineParser parser;
    const QCommandLineOption listenOption(
        u"listen"_s, u"address to listen on (default 127.0.0.1:8089; port 0 picks a free one)"_s,
        u"ADDR:PORT"_s, u"127.0.0.1:8089"_s);
    const QCommandLineOption idleOption(u"session-idle"_s,
                                        u"a session ends after this many idle seconds (1800)"_s,
                                        u"SECONDS"_s, u"1800"_s);
    const QCommandLineOption maximumOption(u"session-max"_s,
                                           u"and this many seconds after its login (43200)"_s,
                                           u"SECONDS"_s, u"43200"_s);
    const QCommandLineOption lockOption(u"lock-seconds"_s,
                                        u"how long five wrong passwords lock logins (60)"_s,
                                        u"SECONDS"_s, u"60"_s);
    const QCommandLineOption perAddressOption(
        u"connections-per-address"_s,
        u"connections one client address may hold open at once (default %1; behind the proxy "
        "every connection comes from its address)"_s.arg(WebPolicy().connectionsPerAddress),
        u"N"_s, QString::number(WebPolicy().connectionsPerAddress));
    if (const std::optional<int> status =
            parse(parser, arguments,
                  {listenOption, DatabaseOption, DatabaseFileOption, idleOption, maximumOption,
                   lockOption, perAddressOption}))
        return *status;
    if (!parser.positionalArguments().isEmpty()) {
        printError(u"unexpected argument: %1"_s.arg(parser.positionalArguments().constFirst()));
        return ExitUsage;
    }
    const std::optional<ListenAddress> listen = parseListenAddress(parser.value(listenOption));
    if (!listen) {
        printError(u"--listen wants ADDR:PORT, not %1"_s.arg(parser.value(listenOption)));
        return ExitUsage;
    }
    WebPolicy policy;
    bool idleOk = false, maximumOk = false, lockOk = false;
    policy.sessionIdle = seconds(parser, idleOption, &idleOk);
    policy.sessionMaximum = seconds(parser, maximumOption, &maximumOk);
    policy.lockOut = seconds(parser, lockOption, &lockOk);
    if (!idleOk || !maximumOk || !lockOk) {
        printError(u"--session-idle, --session-max and --lock-seconds want seconds above 0"_s);
        return ExitUsage;
    }
    bool perAddressOk = false;
    policy.connectionsPerAddress = parser.value(perAddressOption).toInt(&perAddressOk);
    if (!perAddressOk || policy.connectionsPerAddress < 1) {
        printError(u"--connections-per-address wants a number above 0, not %1"_s.arg(
            parser.value(perAddressOption)));
        return ExitUsage;
    }

    QGuiApplication app(argc, argv);
    if (!secretsAvailable()) {
        printError(u"libsodium cannot be initialised"_s);
        return ExitFailed;
    }
    QString error;
    const std::optional<DatabaseAddress> address = storeAddress(parser, &error);
    if (!address) {
        printError(error);
        return ExitFailed;
    }
    try {
        // Tables are made or upgraded now, not by the first counter's request.
        WebStore check(*address);
    } catch (const StoreFailure &failure) {
        printError(failure.message);
        return ExitFailed;
    }
    // The application core as the window builds it, from the same settings folder. Its
    // journal's rows are written by the service's own store, with the user; nothing of it
    // is sent from here.
    DeskSetup setup = DeskSetup::fromBuild();
    setup.journalWaiting = PrintJournal::WaitingRows::SendLater;
    // Each request draws its receipt on its own thread, with the desk's layout.
    setup.startsEmbeddedService = false;
    WebLogMessages deskMessages;
    const SystemClock clock;
    const PrintDesk desk(std::move(setup), DeskEdges{deskMessages, clock});
    // Receipts drawn with another layout than the agency's would spoil its forms.
    if (!desk.startReport().layoutError.isEmpty()) {
        printError(desk.startReport().layoutError);
        return ExitFailed;
    }
    for (const QString &message : desk.startMessages())
        qCWarning(webLog, "%s", qUtf8Printable(message));
    const CounterCore core(desk);
    WebService service(core, *address, policy);
    if (!service.listen(listen->address, listen->port)) {
        printError(service.errorString());
        return ExitFailed;
    }
    writeTo(stdout, QString::fromLatin1(service.baseUrl().toEncoded()) + u'\n');
    quitOnStopSignals(app);
    return app.exec();
}

} // namespace

int main(int argc, char *argv[]) {
    prefixLogPrioritiesForTheJournal();
    useOffscreenPlatformWithoutDisplay();
    const QStringList arguments = programArguments(argc, argv);
    const QString command = arguments.value(0);
    if (command == u"adduser")
        return addUser(argc, argv, arguments.mid(1));
    if (command == u"addcounter")
        return addCounter(argc, argv, arguments.mid(1));
    return serve(argc, argv, arguments);
}
