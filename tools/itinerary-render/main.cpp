// itinerary-render: the receipt rendering service as a program of its own, for an agency
// that runs one service for all its counters.
#include "BuildConfig.h"
#include "ListenAddress.h"
#include "ToolCommandLine.h"
#include "ToolOutput.h"

#include "base/Result.h"

#include "http/StopSignals.h"
#include "http/SystemdLogPriorities.h"
#include "render/ReceiptLayout.h"
#include "render/RenderService.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

const QString Synopsis = u"usage: itinerary-render [--listen ADDR:PORT] [--layout FILE] "
                         "[--connections-per-address N] [--help] [--version]"_s;
const QString Description =
    u"Serves receipt pictures over HTTP:\n"
    "  GET /Print/print.asp?l=FLAG&p=VALUES&TIME-STAMP   the receipt as a PNG\n"
    "  GET /health                                       \"ok\"\n"
    "Prints its base address (http://ADDR:PORT/) as the first line of standard output."_s;

void printError(const QString &text) {
    printProgramError("itinerary-render", text);
}

struct ServiceOptions {
    ListenAddress listen;
    QString layoutPath;
    int connectionsPerAddress = 0;
};

// The options, or the exit status when the program ends here (help, version, usage error).
using Parsed = Result<ServiceOptions, int>;
Parsed parseOptions(const QStringList &arguments) {
    const QCommandLineOption listenOption(
        u"listen"_s,
        u"address to listen on (default 127.0.0.1:0; port 0 picks a free port; [::1]:PORT for "
        "IPv6; 0.0.0.0:PORT serves the local network)"_s,
        u"ADDR:PORT"_s, u"127.0.0.1:0"_s);
    const QCommandLineOption layoutOption(
        u"layout"_s, u"receipt layout (JSON) instead of the built-in one"_s, u"FILE"_s);
    const QCommandLineOption perAddressOption(
        u"connections-per-address"_s,
        u"connections one client address may hold open at once (default %1; behind a balancer "
        "every request comes from its address)"_s.arg(HttpLimits().maxConnectionsPerAddress),
        u"N"_s, QString::number(HttpLimits().maxConnectionsPerAddress));
    const QCommandLineOption helpOption({u"h"_s, u"help"_s}, u"this text"_s);
    const QCommandLineOption versionOption(u"version"_s, u"the program's version"_s);
    const QList<QCommandLineOption> options{listenOption, layoutOption, perAddressOption,
                                            helpOption, versionOption};
    QCommandLineParser parser;
    parser.addOptions(options);

    if (!parser.parse(QStringList{u"itinerary-render"_s} + arguments)) {
        printError(parser.errorText());
        writeTo(stderr, commandHelpText(Synopsis, Description, parser));
        return Parsed::failure(ExitUsage);
    }
    if (parser.isSet(helpOption)) {
        writeTo(stdout, commandHelpText(Synopsis, Description, parser));
        return Parsed::failure(ExitOk);
    }
    if (parser.isSet(versionOption)) {
        writeTo(stdout, u"itinerary-render " ITINERARY_VERSION "\n"_s);
        return Parsed::failure(ExitOk);
    }
    if (!parser.positionalArguments().isEmpty()) {
        printError(u"unexpected argument: %1"_s.arg(parser.positionalArguments().constFirst()));
        writeTo(stderr, commandHelpText(Synopsis, Description, parser));
        return Parsed::failure(ExitUsage);
    }
    const QString listenText = parser.value(listenOption);
    const std::optional<ListenAddress> listen = parseListenAddress(listenText);
    if (!listen) {
        printError(u"--listen wants ADDR:PORT, not %1"_s.arg(listenText));
        return Parsed::failure(ExitUsage);
    }
    bool number = false;
    const int perAddress = parser.value(perAddressOption).toInt(&number);
    if (!number || perAddress < 1) {
        printError(u"--connections-per-address wants a number of 1 or more, not %1"_s.arg(
            parser.value(perAddressOption)));
        return Parsed::failure(ExitUsage);
    }
    return ServiceOptions{*listen, parser.value(layoutOption), perAddress};
}

} // namespace

int main(int argc, char *argv[]) {
    prefixLogPrioritiesForTheJournal();
    // Text is drawn with the fonts of a GUI application; without a display use offscreen.
    useOffscreenPlatformWithoutDisplay();

    const QStringList arguments = programArguments(argc, argv);
    const Parsed parsed = parseOptions(arguments);
    if (!parsed)
        return parsed.error();
    const ServiceOptions &options = parsed.value();

    QGuiApplication app(argc, argv);
    ReceiptLayout layout = ReceiptLayout::defaultLayout();
    if (!options.layoutPath.isEmpty()) {
        Result<ReceiptLayout> loaded = ReceiptLayout::fromFile(options.layoutPath);
        if (!loaded) {
            printError(loaded.error());
            return ExitFailed;
        }
        layout = *std::move(loaded);
    }

    ServiceLimits limits;
    limits.maxConnectionsPerAddress = options.connectionsPerAddress;
    RenderService service(layout, limits);
    if (!service.listen(options.listen.address, options.listen.port)) {
        printError(service.errorString());
        return ExitFailed;
    }
    const QByteArray firstLine = service.baseUrl().toEncoded() + '\n';
    std::fwrite(firstLine.constData(), 1, size_t(firstLine.size()), stdout);
    std::fflush(stdout);

    quitOnStopSignals(app);
    return app.exec();
}
