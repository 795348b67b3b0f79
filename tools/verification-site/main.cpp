// verification-site: a local e-ticket verification site for the product's tests and demos.
#include "BuildConfig.h"
#include "SiteOptions.h"
#include "TicketFile.h"
#include "ToolCommandLine.h"
#include "ToolOutput.h"
#include "VerificationSite.h"
#include "http/StopSignals.h"
#include "http/SystemdLogPriorities.h"

#include <QGuiApplication>

#include <cstdio>

using namespace itinerary;
using namespace itinerary::site;
using namespace Qt::StringLiterals;

namespace {
void printError(const QString &text) {
    printProgramError("verification-site", text);
}
} // namespace

int main(int argc, char *argv[]) {
    prefixLogPrioritiesForTheJournal();
    // Options and tickets are read before the application object exists, so a usage error
    // ends the program without starting a window system connection.
    const QStringList arguments = programArguments(argc, argv);
    const Result<SiteOptions> parsed = parseSiteOptions(arguments);
    if (!parsed) {
        printError(parsed.error());
        writeTo(stderr, siteUsage());
        return ExitUsage;
    }
    const SiteOptions &options = parsed.value();
    if (options.help) {
        writeTo(stdout, siteUsage());
        return ExitOk;
    }
    if (options.version) {
        writeTo(stdout, u"verification-site " ITINERARY_VERSION "\n"_s);
        return ExitOk;
    }
    QList<SiteTicket> tickets;
    if (options.ticketsFile.isEmpty()) {
        tickets = builtInTickets();
    } else {
        const Result<QList<SiteTicket>> loaded = loadTicketFile(options.ticketsFile);
        if (!loaded) {
            printError(loaded.error());
            return ExitUsage;
        }
        tickets = loaded.value();
    }

    // The captcha pictures are drawn with fonts, which need a platform; without a display
    // use the offscreen one.
    itinerary::useOffscreenPlatformWithoutDisplay();
    QGuiApplication app(argc, argv);
    VerificationSite site(tickets, options.connectionsPerAddress);
    site.setFixedCaptcha(options.fixedCaptcha);
    const QUrl base = site.listen(options.address, options.port);
    if (base.isEmpty()) {
        printError(
            u"cannot listen on %1 port %2"_s.arg(options.address.toString()).arg(options.port));
        return ExitFailed;
    }
    writeTo(stdout, base.toString() + u'\n');
    quitOnStopSignals(app);
    return app.exec();
}
