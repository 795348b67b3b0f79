// itinerary-cli print: batch printing of a group booking, one receipt per passenger, through
// the same settings, print job and default printer as the window.
#include "AgencyCodeTables.h"
#include "BatchPrint.h"
#include "CliCommand.h"
#include "CliInput.h"
#include "PrintOptions.h"
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

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <memory>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

// The receipt layout that an agency keeps beside its settings file, for the embedded
// service.
const QString LayoutFileName = u"layout.json"_s;
// How long the tool waits at the end for a journal server to take the batch's rows.
constexpr int JournalSendWaitMs = 10000;

// Starts the service inside this process, with the agency's layout when there is one beside
// the settings file. The base address, or empty after reporting why.
QString startEmbeddedService(std::unique_ptr<EmbeddedRenderService> &service,
                             const QString &iniPath) {
    ReceiptLayout layout = ReceiptLayout::defaultLayout();
    const QString layoutPath = QFileInfo(iniPath).dir().filePath(LayoutFileName);
    if (QFileInfo::exists(layoutPath)) {
        QString error;
        std::optional<ReceiptLayout> loaded = ReceiptLayout::fromFile(layoutPath, &error);
        // A form printed with a layout other than the agency's would be spoilt: stop.
        if (!loaded) {
            printError(u"print: %1"_s.arg(error));
            return QString();
        }
        layout = std::move(*loaded);
    }
    service = std::make_unique<EmbeddedRenderService>(std::move(layout));
    const QUrl base = service->start();
    if (base.isEmpty()) {
        printError(u"print: the rendering service did not start: %1"_s.arg(service->errorString()));
        return QString();
    }
    return base.toString();
}

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
        serviceBase = startEmbeddedService(embedded, iniPath);
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
    const bool printed = printEveryPassenger(sheet, job, messages, hooks);
    // Rows a server has not taken yet stay in the outbox for the next run or print.
    journal.waitUntilSent(JournalSendWaitMs);
    return printed ? ExitOk : ExitFailed;
}

const CommandRegistration registration{{u"print"_s, PrintUsage, runPrint}};

} // namespace

} // namespace itinerary::cli
