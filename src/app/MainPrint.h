#pragma once

#include "app/Config.h"
#include "journal/ui/JournalWindow.h"
#include "render/ReceiptLayout.h"
#include "settings/StartupValues.h"
#include "sheet/Itinerary.h"
#include "textimport/CodeTables.h"
#include "textimport/ui/BookingImportWindow.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;

namespace itinerary {

class BrowserControl;
class ClickableLabel;
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
class ReceiptPrinter;
class RunProgressDialog;
class SheetFieldEdit;
struct StepsOutcome;

// What a test may put in place of the real edges; null means the real one.
struct MainPrintSeams {
    Messages *messages = nullptr;      // modal message boxes
    ReceiptPrinter *printer = nullptr; // the default printer
    const Clock *clock = nullptr;      // the system clock
    // The verification site's browser; null: the engine's, loaded after the first paint.
    BrowserControl *browser = nullptr;
};

// The main window: a menu bar, and below it the sheet's area with the query bar, the print
// position group and the itinerary sheet with the passenger buttons; outside its visible
// area the print picture and field 4. The verification site runs in a browser page that is
// never shown (made once the window is up). A thin view over the sheet model and the jobs of
// the core.
class MainPrint final : public QWidget {
    Q_OBJECT

public:
    explicit MainPrint(Config config, MainPrintSeams seams = {}, QWidget *parent = nullptr);
    ~MainPrint() override;

    Itinerary &sheet() { return m_sheet; }
    PrintPosition &printPosition() { return *m_position; }
    PrintJob &printJob() { return *m_printJob; }
    // "全部打印…": the whole booking through the print job.
    GroupPrint &groupPrint() { return *m_groupPrint; }
    NetworkPictureLoader &pictureLoader() { return *m_loader; }
    const StartupValues &startupValues() const { return m_startup; }
    // The embedded rendering service, when no service address is configured.
    EmbeddedRenderService *renderService() const { return m_renderService.get(); }
    // The browser control that drives the verification site, once it exists.
    BrowserControl *browser() const { return m_browser; }
    // Set once a page of the site has completed; the result page import waits for it.
    bool pageReady() const { return m_pageReady; }

    // The sheet's area below the menu bar, at the opening size: 13065 x 5025 twips.
    static QSize clientSize();
    // The layout the receipts are drawn with, for the form's outline and the calibration
    // page: the embedded service's, else the agency's layout.json, else the default.
    const ReceiptLayout &formLayout() const { return m_formLayout; }

    // Opens the print journal window ("打印记录…", Ctrl+Shift+J), or brings it to the front.
    void openPrintJournal();
    PrintJournal &printJournal() { return *m_journal; }
    // The print journal window while it is open.
    JournalWindow *journalWindow() const { return m_journalWindow; }

Q_SIGNALS:
    // The engine's browser control exists (it is made after the window's first paint).
    void browserCreated();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Load();
    // The configured rendering service, or the embedded one started now when none is
    // configured (with the agency's layout.json beside the settings file, if there is one).
    QString serviceBaseUrl();
    // Reads the agency's codes beside the settings file; a file with lines that are no entry
    // is reported once.
    void loadCodeTables();
    void bindPrinting();
    // Runs a handler that may block on a picture load; a close request arriving meanwhile is
    // carried out when it ends.
    void blocking(const std::function<void()> &handler);

    // The menus and the work behind them (MainPrintMenus.cpp).
    void buildMenuBar();
    void bindMenus();
    void printAllPassengers();
    void groupPrintFinished(const StepsOutcome &outcome);
    void showPrintPreview();
    void saveReceiptCopy();
    void writeReceiptCopy(const QString &path, bool everyPassenger);
    void receiptCopyFinished(const StepsOutcome &outcome);
    void printCalibrationPage();
    void showAbout();
    // The offsets in twips as the printer will use them; a message when they cannot be
    // used.
    std::optional<QPoint> usableOffsetsTwips();
    RunProgressDialog *startProgress(const QString &title, int count);

    void buildQueryBar();
    void buildPrintPosition();
    void buildSheet();
    void setFocusOrder();
    void bindModel();

    // The verification query.
    void createBrowser();
    void bindBrowser();
    void openVerificationSite();
    void navigateToSite();
    void refreshCaptcha();
    void submitQuery();
    void fillQueryPage(int step);
    void queryPageNotReady();

private Q_SLOTS:
    // The handlers, named after their controls; each calls the core.
    void Option1_Click();
    void Option2_Click();
    void Text1_Change();
    void Image2_Click();
    void Command1_Click();
    void Command2_Click();
    // Opens the paste window for a booking display (button "PNR导入").
    void Command3_Click();
    void leftr_Change(const QString &text);
    void topb_Change(const QString &text);
    void cmdtoleft_Click();
    void cmdtoright_Click();
    void cmdtotop_Click();
    void cmdtobum_Click();
    void cmdpau_Click();
    void cmdnext_Click();
    // The browser control's notifications.
    void WebBs_DownloadComplete(const QString &documentMarkup,
                                const std::optional<QString> &thirdTableInnerMarkup);
    void WebBs_DocumentComplete();
    void WebBs_StatusTextChange(const QString &text);
    void showPageAlert(const QString &text);

private:
    // The controls, by the names the handlers use (and their object names: tests find them
    // with findChild). The sheet's fields are "Pt0" to "Pt58".
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QLineEdit *Tn = nullptr;
    QLineEdit *Nm = nullptr;
    QLineEdit *Text1 = nullptr;
    ClickableLabel *Image2 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QLineEdit *leftr = nullptr;
    QLineEdit *topb = nullptr;
    ClickableLabel *cmdtoleft = nullptr;
    ClickableLabel *cmdtoright = nullptr;
    ClickableLabel *cmdtotop = nullptr;
    ClickableLabel *cmdtobum = nullptr;
    QPushButton *cmdpau = nullptr;
    QPushButton *cmdnext = nullptr;
    QLabel *Image1 = nullptr;

    QWidget *m_sheetArea = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QList<QAction *> m_printActions; // usable only while "打印" is
    QPointer<RunProgressDialog> m_progress;
    QString m_copyPath;
    QString m_copyFolder;

    Config m_config;
    Itinerary m_sheet;
    std::unique_ptr<Clock> m_ownClock;
    const Clock *m_clock = nullptr;
    std::unique_ptr<Messages> m_ownMessages;
    Messages *m_messages = nullptr;
    std::unique_ptr<ReceiptPrinter> m_ownPrinter;
    ReceiptPrinter *m_printer = nullptr;
    std::unique_ptr<FileSystem> m_files;
    std::unique_ptr<PrintPosition> m_position;
    std::unique_ptr<NetworkPictureLoader> m_loader;
    // Before the job, which records into it until the end.
    std::unique_ptr<PrintJournal> m_journal;
    std::unique_ptr<PrintJob> m_printJob;
    std::unique_ptr<GroupPrint> m_groupPrint;
    std::unique_ptr<ReceiptCopyRun> m_copyRun;
    std::unique_ptr<EmbeddedRenderService> m_renderService;
    ReceiptLayout m_formLayout = ReceiptLayout::defaultLayout();
    QString m_serviceBase;
    StartupValues m_startup;
    // The booking import's airport and airline names: the built-in tables with the agency's
    // codes.txt, read at start-up.
    CodeTables m_codes;
    QPointer<BookingImportWindow> m_importWindow;
    QPointer<JournalWindow> m_journalWindow;
    int m_blockingDepth = 0;
    bool m_closePending = false;
    QGroupBox *m_frame1 = nullptr;
    QGroupBox *m_frame2 = nullptr;
    std::array<SheetFieldEdit *, FieldCount> m_fields{};
    bool m_painted = false;
    bool m_siteOpened = false;
    bool m_pageReady = false;
    BrowserControl *m_browser = nullptr;
    // Last, so that it goes first: its pending page callbacks must not outlive the window.
    std::unique_ptr<BrowserControl> m_ownBrowser;
};

} // namespace itinerary
