// itinerary-cli pdf: the window's "另存为PDF…" for scripts: a copy of a booking's receipts as
// a PDF, marked as a copy, through the same settings and rendering service as printing.
#include "AgencyCodeTables.h"
#include "CliCommand.h"
#include "CliInput.h"
#include "PrintOptions.h"
#include "ServiceSetup.h"
#include "StderrMessages.h"

#include "BuildConfig.h"
#include "base/Clock.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/ReceiptCopy.h"
#include "print/net/NetworkPictureLoader.h"
#include "print/ui/QtReceiptPrinter.h"
#include "print/ui/ReceiptCopyPdf.h"
#include "render/EmbeddedRenderService.h"
#include "settings/LocalFileSystem.h"
#include "settings/StartupValues.h"
#include "sheet/Itinerary.h"
#include "textimport/BookingDisplayImport.h"

#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>

#include <memory>
#include <variant>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

const QString CommandName = u"pdf"_s;
const QString Usage = u"pdf [--all] [--out FILE] [--service URL] BOOKING-FILE"_s;

struct PdfArguments {
    bool everyPassenger = false;
    QString outPath; // empty: "<record code>-<name>.pdf" in the current directory
    std::optional<QString> serviceBaseUrl;
    QString bookingPath;
};

// The arguments, or the exit status when the command ends here: after its help, or after
// telling what is wrong with the command line.
std::variant<PdfArguments, int> parseArguments(const QStringList &arguments) {
    RefusalWording wording;
    wording.usageAfter = true;
    CommandLine line(CommandName, Usage, wording);
    const QCommandLineOption all =
        line.addOption({u"all"_s, u"one page for every passenger of the list"_s});
    const QCommandLineOption out = line.addOption(
        {u"out"_s, u"the PDF file to write (default: <record code>-<name>.pdf here)"_s, u"FILE"_s});
    const QCommandLineOption service = line.addOption(
        {u"service"_s, u"the rendering service's base address (default: the build's)"_s, u"URL"_s});
    line.addPositionalArgument(u"BOOKING-FILE"_s, u"the booking display (-: standard input)"_s,
                               u"BOOKING-FILE"_s);
    if (const std::optional<int> status = line.parse(arguments))
        return *status;

    PdfArguments parsed;
    parsed.everyPassenger = line.isSet(all);
    parsed.outPath = line.value(out);
    if (line.isSet(out) && parsed.outPath.isEmpty())
        return line.refuse(u"--out needs a file name"_s);
    if (line.isSet(service)) {
        parsed.serviceBaseUrl = serviceBaseAddress(line.value(service));
        if (!parsed.serviceBaseUrl)
            return line.refuse(u"not an http address: "_s + line.value(service));
    }
    const QStringList files = line.positionalArguments();
    if (files.size() != 1) {
        return line.refuse(files.isEmpty() ? u"a BOOKING-FILE (or - for standard input) is needed"_s
                                           : u"one BOOKING-FILE only"_s);
    }
    parsed.bookingPath = files.first();
    return parsed;
}

int runPdf(const QStringList &arguments) {
    const std::variant<PdfArguments, int> parsedArguments = parseArguments(arguments);
    if (const int *status = std::get_if<int>(&parsedArguments))
        return *status;
    const PdfArguments *args = &std::get<PdfArguments>(parsedArguments);
    QString error;
    const std::optional<QString> booking = readInputText(args->bookingPath, &error);
    if (!booking) {
        printError(CommandName + u": "_s + error);
        return ExitUsage;
    }

    // The PDF's text and pictures need a GUI application (main() picks the offscreen
    // platform without a display).
    int argc = 1;
    char name[] = "itinerary-cli";
    char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    const QString iniPath = windowSettingsFile();
    const std::optional<ReceiptLayout> layout = agencyLayout(iniPath, CommandName);
    if (!layout)
        return ExitFailed;
    // Stopped before the application object goes.
    std::unique_ptr<EmbeddedRenderService> embedded;
    QString serviceBase = args->serviceBaseUrl.value_or(QStringLiteral(ITINERARY_SERVICE_BASE_URL));
    if (serviceBase.isEmpty()) {
        serviceBase = startEmbeddedService(embedded, *layout, CommandName);
        if (serviceBase.isEmpty())
            return ExitFailed;
    }

    Itinerary sheet;
    PrintPosition position;
    LocalFileSystem files;
    SystemClock clock;
    StderrMessages messages(CommandName);
    // The agency fields and the issue date as the window starts; nothing is saved.
    const StartupValues startup =
        loadStartupValues(serviceBase, iniPath, sheet, position, files, clock);
    const CodeTables codes = agencyCodeTables(CommandName, iniPath);
    importBookingDisplay(*booking, sheet, messages, clock, codes);
    if (messages.count() > 0)
        return ExitFailed;

    const QString outPath = args->outPath.isEmpty() ? receiptCopyFileName(sheet) : args->outPath;
    NetworkPictureLoader loader;
    // The job only requests pictures here; nothing is printed.
    QtReceiptPrinter unusedPrinter;
    PrintJob job(sheet, position, loader, unusedPrinter, messages, clock);
    job.setPrintUrl(startup.printUrl);
    ReceiptCopyRun copy(sheet, job);
    StepsOutcome outcome;
    QEventLoop loop;
    QObject::connect(&copy, &ReceiptCopyRun::finished, &loop, [&](const StepsOutcome &ended) {
        outcome = ended;
        loop.quit();
    });
    copy.start(args->everyPassenger);
    if (copy.isRunning())
        loop.exec();
    if (outcome.failed) {
        printError(CommandName + u": "_s + receiptCopyFailureMessage(outcome));
        return ExitFailed;
    }
    if (!saveReceiptCopyPdf(outPath, copy.pictures(), *layout, &error)) {
        printError(CommandName + u": "_s + error);
        return ExitFailed;
    }
    writeStdout(QDir::toNativeSeparators(outPath).toUtf8() + '\n');
    return ExitOk;
}

const CommandRegistration registration{{CommandName, Usage, runPdf}};

} // namespace

} // namespace itinerary::cli
