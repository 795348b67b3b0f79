#pragma once

#include "app/Config.h"
#include "app/MainPrintEdges.h"
#include "journal/ui/JournalWindow.h"
#include "settings/StartupValues.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace itinerary {

class BookingImportWindow;
class BrowserControl;
class ClickableLabel;
class EmbeddedRenderService;
class GroupPrint;
class InputHold;
class PrintDesk;
class PrintJob;
class PrintJournal;
class PrintMenus;
class PrintPosition;
class SheetFieldEdit;
class VerificationQuery;

// The main window: a menu bar, and below it the sheet's area with the query bar, the print
// position group and the itinerary sheet with the passenger buttons; outside its visible
// area the print picture and field 4. A view over the application core (PrintDesk): its
// controls, and their handlers, each a line or two that calls the core. The menus are
// PrintMenus', the verification query VerificationQuery's; the site runs in a browser page
// that is never shown (made once the window is up). While a picture load is under way the
// window holds the operator's input back, and a close request waits for the load's end.
class MainPrint final : public QWidget {
    Q_OBJECT

public:
    explicit MainPrint(Config config, MainPrintSeams seams = {}, QWidget *parent = nullptr);
    ~MainPrint() override;

    PrintDesk &desk() { return *m_desk; }
    // What the tests look at, from the core.
    Itinerary &sheet();
    PrintPosition &printPosition();
    PrintJob &printJob();
    GroupPrint &groupPrint();
    PrintJournal &printJournal();
    const StartupValues &startupValues() const;
    EmbeddedRenderService *renderService() const;
    // The browser control that drives the verification site, once it exists.
    BrowserControl *browser() const;
    // Set once a page of the site has completed; the result page import waits for it.
    bool pageReady() const;
    // The print journal window while it is open.
    JournalWindow *journalWindow() const;

    // The sheet's area below the menu bar, at the opening size: 13065 x 5025 twips.
    static QSize clientSize();

Q_SIGNALS:
    // The engine's browser control exists (it is made after the window's first paint).
    void browserCreated();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Load();
    void buildQueryBar();
    void buildPrintPosition();
    void buildSheet();
    void setFocusOrder();
    void bindModel();
    void bindPrinting();
    void bindBrowser();
    void loadsChanged(bool loading);

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
    std::array<SheetFieldEdit *, FieldCount> m_fields{};
    QWidget *m_sheetArea = nullptr;

    Config m_config;
    MainPrintEdges m_edges;
    std::unique_ptr<PrintDesk> m_desk;
    PrintMenus *m_menus = nullptr;
    VerificationQuery *m_query = nullptr;
    InputHold *m_inputHold = nullptr;
    QPointer<BookingImportWindow> m_importWindow;
    bool m_painted = false;
    bool m_closePending = false;
};

} // namespace itinerary
