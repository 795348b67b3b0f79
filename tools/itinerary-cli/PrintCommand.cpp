// itinerary-cli print: batch printing of a group booking, one receipt per passenger, through
// the same application core as the window: its settings, print job, journal and default
// printer.
#include "BatchPrint.h"
#include "CliCommand.h"
#include "CliInput.h"
#include "CommandDesk.h"
#include "PrintOptions.h"
#include "StderrMessages.h"

#include "base/Clock.h"
#include "desk/PrinterModule.h"
#include "journal/PrintJournal.h"
#include "print/GroupPrint.h"
#include "print/PrintPosition.h"
#include "sheet/FieldMap.h"

#include <QGuiApplication>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

// How long the tool waits at the end for a journal server to take the batch's rows.
constexpr int JournalSendWaitMs = 10000;

int runPrint(const QStringList &arguments) {
    const CommandArguments<PrintOptions> parsed = parsePrintOptions(arguments);
    if (!parsed)
        return parsed.error();
    const PrintOptions &options = parsed.value();
    // The whole booking is read before anything starts.
    const Result<QString> booking = readInputText(options.bookingPath);
    if (!booking) {
        printError(u"print: "_s + booking.error());
        return ExitUsage;
    }

    // The printer and the fonts of the receipt need a GUI application (main() picks the
    // offscreen platform without a display).
    int argc = 1;
    char name[] = "itinerary-cli";
    char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    Result<std::unique_ptr<ReceiptPrinter>> printer = loadDefaultPrinter(printerModuleFile());
    if (!printer) {
        printError(u"print: the printer cannot be used: "_s + printer.error());
        return ExitFailed;
    }
    SystemClock clock;
    StderrMessages messages(u"print"_s);
    // The journal's notices are not the job's failures, so they are counted apart.
    StderrMessages journalMessages(u"journal"_s);
    // Settings, agency fields and the issue date as the window starts; nothing is saved.
    const std::unique_ptr<PrintDesk> desk =
        openCommandDesk(u"print"_s, options.serviceBaseUrl, false,
                        DeskEdges{messages, clock, printer.value().get(), &journalMessages});
    if (!desk)
        return ExitFailed;
    Itinerary &sheet = desk->sheet();
    if (options.left)
        desk->position().setLeftOffsetMm(*options.left);
    if (options.top)
        desk->position().setTopOffsetMm(*options.top);
    if (options.checkCode)
        sheet.setText(Field::CheckCode, *options.checkCode);

    desk->importBooking(booking.value(), sheet, messages);
    if (messages.count() > 0)
        return ExitFailed;
    if (!sheet.hasPassengerList() || sheet.passengers().isEmpty()) {
        printError(u"print: the booking names no passenger"_s);
        return ExitFailed;
    }

    // Every receipt goes into the print journal, as from the window, after what an earlier
    // run kept back.
    desk->journal().sendWaiting();
    BatchPrintHooks hooks;
    // A title per receipt, so that each job on the queue says which ticket and form it is.
    hooks.aboutToPrint = [&desk](const ReceiptLine &line) {
        desk->printer()->setJobTitle(u"行程单 %1 %2"_s.arg(line.ticketNumber, line.checkCode));
    };
    hooks.printed = [](const ReceiptLine &line) { writeStdout(line.toTsv()); };
    bool printed = false;
    printEveryPassenger(desk->groupPrint(), sheet, hooks, [&](bool everyOne) {
        printed = everyOne;
        // Rows a server has not taken yet stay in the outbox for the next run or print.
        desk->journal().sendAll(&app, [](bool) { QCoreApplication::quit(); });
        QTimer::singleShot(JournalSendWaitMs, &app, &QCoreApplication::quit);
    });
    app.exec();
    return printed ? ExitOk : ExitFailed;
}

const CommandRegistration registration{{u"print"_s, PrintUsage, runPrint}};

} // namespace

} // namespace itinerary::cli
