// itinerary-cli pdf: the window's "另存为PDF…" for scripts: a copy of a booking's receipts as
// a PDF, marked as a copy, through the same application core as the window (settings,
// rendering service, receipt pictures); no printer is involved.
#include "CliCommand.h"
#include "CliInput.h"
#include "CommandDesk.h"
#include "PrintOptions.h"
#include "StderrMessages.h"

#include "base/Clock.h"
#include "print/ReceiptCopy.h"
#include "print/pdf/ReceiptCopyPdf.h"

#include <QDir>
#include <QGuiApplication>

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

// The arguments, or the exit status when the command ends here.
CommandArguments<PdfArguments> parseArguments(const QStringList &arguments) {
    using Parsed = CommandArguments<PdfArguments>;
    CommandLine line(CommandName, Usage, true);
    const QCommandLineOption all =
        line.addOption({u"all"_s, u"one page for every passenger of the list"_s});
    const QCommandLineOption out = line.addOption(
        {u"out"_s, u"the PDF file to write (default: <record code>-<name>.pdf here)"_s, u"FILE"_s});
    const QCommandLineOption service = line.addOption(
        {u"service"_s, u"the rendering service's base address (default: the build's)"_s, u"URL"_s});
    line.addPositionalArgument(u"BOOKING-FILE"_s, u"the booking display (-: standard input)"_s,
                               u"BOOKING-FILE"_s);
    if (const std::optional<int> status = line.parse(arguments))
        return Parsed::failure(*status);

    PdfArguments parsed;
    parsed.everyPassenger = line.isSet(all);
    parsed.outPath = line.value(out);
    if (line.isSet(out) && parsed.outPath.isEmpty())
        return Parsed::failure(line.refuse(u"--out needs a file name"_s));
    if (line.isSet(service)) {
        parsed.serviceBaseUrl = serviceBaseAddress(line.value(service));
        if (!parsed.serviceBaseUrl)
            return Parsed::failure(line.refuse(u"not an http address: "_s + line.value(service)));
    }
    const QStringList files = line.positionalArguments();
    if (files.size() != 1) {
        return Parsed::failure(
            line.refuse(files.isEmpty() ? u"a BOOKING-FILE (or - for standard input) is needed"_s
                                        : u"one BOOKING-FILE only"_s));
    }
    parsed.bookingPath = files.first();
    return parsed;
}

int runPdf(const QStringList &arguments) {
    const CommandArguments<PdfArguments> parsed = parseArguments(arguments);
    if (!parsed)
        return parsed.error();
    const PdfArguments &args = parsed.value();
    const Result<QString> booking = readInputText(args.bookingPath);
    if (!booking) {
        printError(CommandName + u": "_s + booking.error());
        return ExitUsage;
    }

    // The PDF's text and pictures need a GUI application (main() picks the offscreen
    // platform without a display).
    int argc = 1;
    char name[] = "itinerary-cli";
    char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    SystemClock clock;
    StderrMessages messages(CommandName);
    // The agency fields and the issue date as the window starts; nothing is saved. The copy
    // is drawn over the agency's layout even when a service elsewhere draws the receipts.
    const std::unique_ptr<PrintDesk> desk =
        openCommandDesk(CommandName, args.serviceBaseUrl, true, DeskEdges{messages, clock});
    if (!desk)
        return ExitFailed;
    desk->importBooking(booking.value(), desk->sheet(), messages);
    if (messages.count() > 0)
        return ExitFailed;

    const QString outPath =
        args.outPath.isEmpty() ? receiptCopyFileName(desk->sheet()) : args.outPath;
    ReceiptCopyRun &copy = desk->copyRun();
    StepsOutcome outcome;
    QObject::connect(&copy, &ReceiptCopyRun::finished, &app, [&](const StepsOutcome &ended) {
        outcome = ended;
        QCoreApplication::quit();
    });
    copy.start(args.everyPassenger);
    if (copy.isRunning())
        app.exec();
    if (outcome.failed) {
        printError(CommandName + u": "_s + receiptCopyFailureMessage(outcome));
        return ExitFailed;
    }
    const Result<> saved = saveReceiptCopyPdf(outPath, copy.pictures(), desk->formLayout());
    if (!saved) {
        printError(CommandName + u": "_s + saved.error());
        return ExitFailed;
    }
    writeStdout(QDir::toNativeSeparators(outPath).toUtf8() + '\n');
    return ExitOk;
}

const CommandRegistration registration{{CommandName, Usage, runPdf}};

} // namespace

} // namespace itinerary::cli
