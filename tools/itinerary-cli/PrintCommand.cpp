// itinerary-cli print: batch printing of a group booking, one receipt per passenger, through
// the same settings, print job and default printer as the window.
#include "AgencyCodeTables.h"
#include "BatchPrint.h"
#include "CliCommand.h"
#include "CliInput.h"
#include "PrintOptions.h"
#include "ServiceSetup.h"
#include "StderrMessages.h"

#include "BuildConfig.h"
#include "base/Clock.h"
#include "journal/PrintJournal.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/net/NetworkPictureLoader.h"
#include "print/ui/QtReceiptPrinter.h"
#include "render/EmbeddedRenderService.h"
#include "settings/LocalFileSystem.h"
#include "settings/StartupValues.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "textimport/BookingDisplayImport.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <memory>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

// How long the tool waits at the end for a journal server to take the batch's rows.
constexpr int JournalSendWaitMs = 10000;

int runPrint(const QStringList &arguments) {
    const std::variant<PrintOptions, int> parsed = parsePrintOptions(arguments);
    if (const int *status = std::get_if<int>(&parsed))
        return *status;
    const PrintOptions *options = &std::get<PrintOptions>(parsed);
    // The whole booking is read before anything starts.
    QString error;
    const std::optional<QString> booking = readInputText(options->bookingPath, &error);
    if (!booking) {
        printError(u"print: "_s + error);
        return ExitUsage;
    }

    // The printer and the fonts of the receipt need a GUI application (main() picks the
    // offscreen platform without a display).
    int argc = 1;
    char name[] = "itinerary-cli";
    char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    const QString iniPath = windowSettingsFile();
    // Stopped before the application object goes.
    std::unique_ptr<EmbeddedRenderService> embedded;
    QString serviceBase =
        options->serviceBaseUrl.value_or(QStringLiteral(ITINERARY_SERVICE_BASE_URL));
    if (serviceBase.isEmpty()) {
        const std::optional<ReceiptLayout> layout = agencyLayout(iniPath, u"print"_s);
        if (!layout)
            return ExitFailed;
        serviceBase = startEmbeddedService(embedded, *layout, u"print"_s);
        if (serviceBase.isEmpty())
            return ExitFailed;
    }

    Itinerary sheet;
    PrintPosition position;
    LocalFileSystem files;
    SystemClock clock;
    StderrMessages messages(u"print"_s);
    // Settings, agency fields and the issue date as the window starts; nothing is saved.
    const StartupValues startup =
        loadStartupValues(serviceBase, iniPath, sheet, position, files, clock);
    if (options->left)
        position.setLeftOffsetMm(*options->left);
    if (options->top)
        position.setTopOffsetMm(*options->top);
    if (options->checkCode)
        sheet.setText(Field::CheckCode, *options->checkCode);

    const CodeTables codes = agencyCodeTables(u"print"_s, iniPath);
    importBookingDisplay(*booking, sheet, messages, clock, codes);
    if (messages.count() > 0)
        return ExitFailed;
    if (!sheet.hasPassengerList() || sheet.passengers().isEmpty()) {
        printError(u"print: the booking names no passenger"_s);
        return ExitFailed;
    }

    NetworkPictureLoader loader;
    QtReceiptPrinter printer;
    PrintJob job(sheet, position, loader, printer, messages, clock);
    job.setPrintUrl(startup.printUrl);
    // Every receipt goes into the print journal, as from the window. The journal's notices
    // are not the job's failures, so they are counted apart.
    StderrMessages journalMessages(u"journal"_s);
    PrintJournal journal(JournalSettings::read(QFileInfo(iniPath).absolutePath()), journalMessages);
    job.setRecorder(&journal);
    BatchPrintHooks hooks;
    // A title per receipt, so that each job on the queue says which ticket and form it is.
    hooks.aboutToPrint = [&printer](const ReceiptLine &line) {
        printer.setJobTitle(u"行程单 %1 %2"_s.arg(line.ticketNumber, line.checkCode));
    };
    hooks.printed = [](const ReceiptLine &line) { writeStdout(line.toTsv()); };
    const bool printed = printEveryPassenger(sheet, job, hooks);
    // Rows a server has not taken yet stay in the outbox for the next run or print.
    journal.waitUntilSent(JournalSendWaitMs);
    return printed ? ExitOk : ExitFailed;
}

const CommandRegistration registration{{u"print"_s, PrintUsage, runPrint}};

} // namespace

} // namespace itinerary::cli
