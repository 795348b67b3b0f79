#pragma once

#include "desk/DeskSetup.h"
#include "render/ReceiptLayout.h"
#include "settings/StartupValues.h"
#include "sheet/Itinerary.h"
#include "textimport/AgencyCodes.h"
#include "textimport/CodeTables.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace itinerary {

class Clock;
class EmbeddedRenderService;
class FileSystem;
class GroupPrint;
class Messages;
class NetworkPictureLoader;
class PrintJob;
class PrintJournal;
class PrintPosition;
class ReceiptCopyRun;
class ReceiptPictures;
class ReceiptPrinter;

// What the desk found wrong with the counter's files and its service as it started, for
// each program to tell in its own way (the window in a message box, a command on standard
// error, where it may also refuse to go on).
struct DeskStartReport {
    // layout.json is there but cannot be used: why (its path first); the receipts are then
    // drawn with the default layout.
    QString layoutError;
    // The embedded rendering service did not start: why.
    QString serviceError;
    // The agency's codes.txt: whether it could be read, and the lines that are no entry.
    AgencyCodes agencyCodes;
};

// What a program gives the desk: how the operator is told, the clock, the printer.
struct DeskEdges {
    Messages &messages;
    const Clock &clock;
    // The printer receipts go to; none for a program that does not print (no print job,
    // no group print then).
    ReceiptPrinter *printer = nullptr;
    // Where the journal's notices go; none: `messages`.
    Messages *journalMessages = nullptr;
};

// The application core: what a counter works with, built once by each program (the window,
// each command of the command line, the web counter) from its DeskSetup, without any
// widget. On construction it starts the rendering service in use (the embedded one, drawing
// with the agency's layout.json when there is one, unless a service address is configured),
// reads the settings onto its sheet (offsets, agency fields, issue date) and the agency's
// codes (codes.txt), and opens the print journal (journal.ini); whatever the operator must
// know about those files is told through the edges' messages.
//
// The desk's own sheet is the window's (or one command's): the print job, the group print
// and the copy run work on it. Everything that takes a sheet as an argument (the import, the
// receipt picture) works on any sheet, so that a server can run it per request on a sheet of
// its own; the sheet's own rules (Itinerary::leaveField, showNextPassenger,
// showPreviousPassenger) need no desk at all.
class PrintDesk final : public QObject {
    Q_OBJECT

public:
    PrintDesk(DeskSetup setup, DeskEdges edges, QObject *parent = nullptr);
    ~PrintDesk() override;

    const DeskSetup &setup() const { return m_setup; }
    const DeskStartReport &startReport() const { return m_report; }
    // The start report as the window tells it, in order: an unusable layout.json (only when
    // the embedded service draws with it), a service that did not start, info.ini read with
    // bad bytes replaced, codes.txt, the journal's address (a password others can read).
    QStringList startMessages() const;
    const StartupValues &startupValues() const { return m_startup; }
    const Clock &clock() const { return m_clock; }

    Itinerary &sheet() { return m_sheet; }
    PrintPosition &position() { return *m_position; }

    // The airport and airline names of the import: the built-in tables with the agency's.
    const CodeTables &codes() const { return m_codes; }
    // Imports a booking display into `sheet` with the desk's codes and clock.
    void importBooking(const QString &text, Itinerary &sheet, Messages &messages) const;

    // The layout the receipts are drawn with, for the form's outline and the calibration
    // page: the embedded service's, else the agency's layout.json, else the default.
    const ReceiptLayout &formLayout() const { return m_formLayout; }
    // The rendering service in use ("http://HOST:PORT/"); empty when the embedded one did
    // not start or was not wanted.
    QString serviceBaseUrl() const { return m_serviceBase; }
    // The embedded rendering service, when no service address is configured.
    EmbeddedRenderService *embeddedService() const { return m_renderService.get(); }

    NetworkPictureLoader &pictureLoader() { return *m_loader; }
    // The receipt picture of any sheet from the service in use, asynchronously.
    const ReceiptPictures &receiptPictures() const { return *m_pictures; }

    // The print job and the group print on the desk's sheet; only with a printer.
    bool canPrint() const { return m_printJob != nullptr; }
    PrintJob &printJob() { return *m_printJob; }
    GroupPrint &groupPrint() { return *m_groupPrint; }
    ReceiptPrinter *printer() const { return m_printer; }
    // The pictures of a PDF copy of the desk's sheet; needs no printer.
    ReceiptCopyRun &copyRun() { return *m_copyRun; }
    // Whether a run over the booking's receipts (a group print, a copy) is under way.
    bool runInProgress() const;

    PrintJournal &journal() { return *m_journal; }

    // Writes the offsets and the agency fields to the settings file; what the operator is
    // told when they cannot be written.
    Result<> saveSettings();

private:
    // The configured service, or the embedded one started now; the form's layout either way.
    void startRenderService();
    void loadCodeTables();

    DeskSetup m_setup;
    DeskStartReport m_report;
    Messages &m_messages;
    const Clock &m_clock;
    ReceiptPrinter *m_printer;
    std::unique_ptr<FileSystem> m_files;
    Itinerary m_sheet;
    std::unique_ptr<PrintPosition> m_position;
    std::unique_ptr<EmbeddedRenderService> m_renderService;
    ReceiptLayout m_formLayout = ReceiptLayout::defaultLayout();
    QString m_serviceBase;
    StartupValues m_startup;
    CodeTables m_codes;
    std::unique_ptr<NetworkPictureLoader> m_loader;
    std::unique_ptr<ReceiptPictures> m_pictures;
    // Before the job, which records into it until the end.
    std::unique_ptr<PrintJournal> m_journal;
    std::unique_ptr<PrintJob> m_printJob;
    std::unique_ptr<GroupPrint> m_groupPrint;
    std::unique_ptr<ReceiptCopyRun> m_copyRun;
};

} // namespace itinerary
