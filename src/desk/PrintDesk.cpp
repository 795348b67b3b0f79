#include "desk/PrintDesk.h"

#include "base/LocalFileSystem.h"
#include "base/Messages.h"
#include "journal/PrintJournal.h"
#include "print/GroupPrint.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/ReceiptCopy.h"
#include "print/ReceiptPictures.h"
#include "print/net/NetworkPictureLoader.h"
#include "render/EmbeddedRenderService.h"
#include "settings/SettingsFile.h"
#include "textimport/BookingDisplayImport.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace itinerary {

PrintDesk::PrintDesk(DeskSetup setup, DeskEdges edges, QObject *parent)
    : QObject(parent)
    , m_setup(std::move(setup))
    , m_messages(edges.messages)
    , m_clock(edges.clock)
    , m_printer(edges.printer)
    , m_files(std::make_unique<LocalFileSystem>())
    , m_position(std::make_unique<PrintPosition>()) {
    startRenderService();
    m_startup =
        loadStartupValues(m_serviceBase, m_setup.settingsFile(), m_sheet, *m_files, m_clock);
    if (m_startup.storedOffsets) {
        m_position->setLeftOffsetMm(m_startup.storedOffsets->leftMm);
        m_position->setTopOffsetMm(m_startup.storedOffsets->topMm);
    }
    loadCodeTables();

    m_loader = std::make_unique<NetworkPictureLoader>();
    m_loader->setTimeout(m_setup.loadTimeout);
    m_pictures = std::make_unique<ReceiptPictures>(*m_loader, m_clock);
    m_pictures->setPrintUrl(m_startup.printUrl);
    // Every print attempt goes into it, a group's receipts too.
    m_journal = std::make_unique<PrintJournal>(
        JournalSettings::read(m_setup.settingsDirectory),
        edges.journalMessages != nullptr ? *edges.journalMessages : m_messages,
        m_setup.journalWaiting);
    if (m_printer != nullptr) {
        m_printJob = std::make_unique<PrintJob>(m_sheet, *m_position, *m_pictures, *m_printer,
                                                m_messages, m_clock);
        m_printJob->setRecorder(m_journal.get());
        m_groupPrint = std::make_unique<GroupPrint>(m_sheet, *m_printJob);
    }
    m_copyRun = std::make_unique<ReceiptCopyRun>(m_sheet, *m_pictures);
}

PrintDesk::~PrintDesk() = default;

void PrintDesk::startRenderService() {
    const QString layoutFile = m_setup.layoutFile();
    if (QFileInfo::exists(layoutFile)) {
        if (Result<ReceiptLayout> own = ReceiptLayout::fromFile(layoutFile))
            m_formLayout = *std::move(own);
        else
            m_report.layoutError = own.error();
    }
    // A service elsewhere draws with a layout of its own; the agency's file, when it has
    // one, is still the best guess at its form for the outline and the calibration page.
    if (!m_setup.serviceBaseUrl.isEmpty()) {
        m_serviceBase = m_setup.serviceBaseUrl;
        return;
    }
    if (!m_setup.startsEmbeddedService)
        return;
    m_renderService = std::make_unique<EmbeddedRenderService>(m_formLayout);
    m_serviceBase = m_renderService->start().toString();
    if (m_serviceBase.isEmpty())
        m_report.serviceError = m_renderService->errorString();
}

void PrintDesk::loadCodeTables() {
    CounterCodes codes = m_setup.readCodes(*m_files);
    m_codes = std::move(codes.tables);
    m_report.agencyCodes = std::move(codes.agency);
}

QStringList PrintDesk::startMessages() const {
    QStringList messages;
    if (!m_report.layoutError.isEmpty() && m_setup.serviceBaseUrl.isEmpty())
        messages.append(u"打印版式文件无法使用，已改用默认版式：%1\n%2"_s.arg(
            QDir::toNativeSeparators(m_setup.layoutFile()), m_report.layoutError));
    if (!m_report.serviceError.isEmpty())
        messages.append(u"打印服务无法启动：%1"_s.arg(m_report.serviceError));
    if (!m_startup.settingsReplacedLines.isEmpty())
        messages.append(
            settingsReplacedBytesMessage(m_startup.settingsPath, m_startup.settingsReplacedLines));
    if (const QString codes = agencyCodesMessage(m_report.agencyCodes); !codes.isEmpty())
        messages.append(codes);
    messages.append(m_journal->settings().warnings);
    return messages;
}

void PrintDesk::importBooking(const QString &text, Itinerary &sheet, Messages &messages) const {
    importBookingDisplay(text, sheet, messages, m_clock, m_codes);
}

bool PrintDesk::runInProgress() const {
    return (m_groupPrint && m_groupPrint->isRunning()) || m_copyRun->isRunning();
}

Result<> PrintDesk::saveSettings() {
    return itinerary::saveSettings(
        m_startup.settingsPath, m_sheet,
        OffsetTexts{m_position->leftOffsetMm(), m_position->topOffsetMm()}, *m_files);
}

} // namespace itinerary
