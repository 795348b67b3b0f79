#include "app/MainPrint.h"

#include "app/ClickableLabel.h"
#include "app/MessageBoxMessages.h"
#include "app/SheetFieldEdit.h"
#include "app/SheetGeometry.h"
#include "app/Twips.h"
#include "base/Clock.h"
#include "journal/PrintJournal.h"
#include "journal/ui/JournalWindow.h"
#include "print/GroupPrint.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/PrintRequest.h"
#include "print/ReceiptCopy.h"
#include "print/net/NetworkPictureLoader.h"
#include "print/ui/QtReceiptPrinter.h"
#include "render/EmbeddedRenderService.h"
#include "settings/LocalFileSystem.h"
#include "settings/SettingsFile.h"
#include "sheet/TextRules.h"
#include "textimport/AgencyCodes.h"
#include "textimport/ui/BookingImportWindow.h"
#include "webimport/QueryChecks.h"
#include "webimport/ResultPageParser.h"
#include "webimport/ui/BrowserControl.h"
#include "webimport/ui/BrowserEngine.h"
#include "webimport/ui/BrowserEngineLoader.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// A CJK face that exists on the machine; the classic serif face the form names does not.
const QString SerifCjk = u"Noto Serif CJK SC"_s;
const QString SansCjk = u"Noto Sans CJK SC"_s;

const QString BrowserMissingMessage = u"网页浏览组件无法加载，不能从验真网站导入：\n%1"_s;

QLabel *makeLabel(const QString &caption, const QRect &rect, QWidget *parent,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto *label = new QLabel(caption, parent);
    label->setGeometry(rect);
    label->setAlignment(alignment);
    return label;
}

// Names a new control and puts it at its place.
template <typename Widget> Widget *placed(Widget *widget, const QString &name, const QRect &rect) {
    widget->setObjectName(name);
    widget->setGeometry(rect);
    return widget;
}

// A line drawn in its own colour between two points (the separator under the query bar).
class LineWidget final : public QWidget {
public:
    LineWidget(const QColor &colour, QWidget *parent)
        : QWidget(parent) {
        QPalette p = palette();
        p.setColor(QPalette::Window, colour);
        setPalette(p);
        setAutoFillBackground(true);
    }
};

} // namespace

QSize MainPrint::clientSize() {
    return QSize(twipsToPixels(13065), twipsToPixels(5025));
}

MainPrint::MainPrint(Config config, MainPrintSeams seams, QWidget *parent)
    : QWidget(parent)
    , m_config(std::move(config)) {
    if (seams.clock == nullptr)
        m_ownClock = std::make_unique<SystemClock>();
    m_clock = seams.clock ? seams.clock : m_ownClock.get();
    if (seams.messages == nullptr) {
        auto boxes = std::make_unique<MessageBoxMessages>(this);
        boxes->setDefaultTitle(u"行程单打印软件"_s);
        m_ownMessages = std::move(boxes);
    }
    m_messages = seams.messages ? seams.messages : m_ownMessages.get();
    if (seams.printer == nullptr)
        m_ownPrinter = std::make_unique<QtReceiptPrinter>();
    m_printer = seams.printer ? seams.printer : m_ownPrinter.get();
    m_files = std::make_unique<LocalFileSystem>();
    m_position = std::make_unique<PrintPosition>();
    m_loader = std::make_unique<NetworkPictureLoader>();
    m_loader->setTimeout(std::chrono::milliseconds(m_config.loadTimeoutMs));
    m_printJob = std::make_unique<PrintJob>(m_sheet, *m_position, *m_loader, *m_printer,
                                            *m_messages, *m_clock);
    // Every print attempt goes into it, a group's receipts too. Its database is opened, and
    // what an earlier run kept back sent, once the window has been painted (or by a print
    // before that).
    m_journal = std::make_unique<PrintJournal>(JournalSettings::read(m_config.settingsDirectory),
                                               *m_messages, PrintJournal::WaitingRows::SendLater);
    m_printJob->setRecorder(m_journal.get());
    m_groupPrint = std::make_unique<GroupPrint>(m_sheet, *m_printJob);
    // The window names the passenger whose receipt failed, in one message.
    m_groupPrint->setJobReportsFailures(false);
    m_copyRun = std::make_unique<ReceiptCopyRun>(m_sheet, *m_printJob);
    m_browser = seams.browser;

    setObjectName(u"MainPrint"_s);
    QFont base(SansCjk, 9);
    setFont(base);
    // The sheet's area keeps its place and size below the menu bar; what lies outside it (the
    // print picture, field 4) must stay out of sight: the window keeps its opening size.
    m_sheetArea = new QWidget(this);
    m_sheetArea->setObjectName(u"sheetArea"_s);
    m_sheetArea->setFixedSize(clientSize());
    auto *frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->setSizeConstraint(QLayout::SetFixedSize);
    frame->addWidget(m_sheetArea);
    buildMenuBar();
    frame->setMenuBar(m_menuBar);
    frame->activate(); // fixes the window's size now, not only once it is shown

    buildQueryBar();
    buildPrintPosition();
    buildSheet();
    setFocusOrder();
    bindModel();
    bindPrinting();
    bindMenus();
    if (m_browser != nullptr)
        bindBrowser();
    Form_Load();
}

MainPrint::~MainPrint() {
    if (m_importWindow)
        delete m_importWindow.data();
}

// Start-up, in order: domestic selected, the start-up values and settings, the caption.
void MainPrint::Form_Load() {
    Option1->setChecked(true);
    Option1_Click();
    m_startup = loadStartupValues(serviceBaseUrl(), m_config.settingsFile(), m_sheet, *m_position,
                                  *m_files, *m_clock);
    m_printJob->setPrintUrl(m_startup.printUrl);
    loadCodeTables();
    if (auto *boxes = dynamic_cast<MessageBoxMessages *>(m_ownMessages.get()))
        boxes->setDefaultTitle(m_startup.applicationTitle);
    setWindowTitle(m_startup.applicationTitle + u"  (软件启动有点慢，请耐心等待…)"_s);
    openVerificationSite();
}

QString MainPrint::serviceBaseUrl() {
    ReceiptLayout layout = ReceiptLayout::defaultLayout();
    const QString layoutFile = m_config.settingsDirectory + u"/layout.json"_s;
    QString error;
    std::optional<ReceiptLayout> own;
    if (QFileInfo::exists(layoutFile))
        own = ReceiptLayout::fromFile(layoutFile, &error);
    if (own)
        layout = *own;
    // A service elsewhere draws with a layout of its own; the agency's file, when it has
    // one, is still the best guess at its form for the outline and the calibration page.
    m_formLayout = layout;
    if (!m_config.serviceBaseUrl.isEmpty())
        return m_serviceBase = m_config.serviceBaseUrl;
    if (!own && !error.isEmpty())
        m_messages->showMessage(u"打印版式文件无法使用，已改用默认版式：%1\n%2"_s.arg(
            QDir::toNativeSeparators(layoutFile), error));
    m_renderService = std::make_unique<EmbeddedRenderService>(std::move(layout));
    const QUrl base = m_renderService->start();
    if (base.isEmpty())
        m_messages->showMessage(u"打印服务无法启动：%1"_s.arg(m_renderService->errorString()));
    return m_serviceBase = base.toString();
}

void MainPrint::loadCodeTables() {
    const AgencyCodes agency = loadAgencyCodes(agencyCodesPath(m_startup.settingsPath), *m_files);
    m_codes = CodeTables::builtIn().withAgencyCodes(agency.codes);
    const QString problem = agencyCodesMessage(agency);
    if (!problem.isEmpty())
        m_messages->showMessage(problem);
}

void MainPrint::blocking(const std::function<void()> &handler) {
    ++m_blockingDepth;
    handler();
    --m_blockingDepth;
    if (m_blockingDepth == 0 && m_closePending) {
        m_closePending = false;
        close();
    }
}

// Shut-down: the settings are saved (the operator is told when they cannot be) and the
// program ends at once, closing the import window and dropping an armed print.
void MainPrint::closeEvent(QCloseEvent *event) {
    if (m_blockingDepth > 0) {
        m_closePending = true;
        event->ignore();
        return;
    }
    m_printJob->dropArmedPrint();
    const SettingsSaveResult saved =
        saveSettings(m_startup.settingsPath, m_sheet, *m_position, *m_files);
    if (!saved.saved)
        m_messages->showMessage(saved.message);
    if (m_importWindow)
        m_importWindow->close();
    if (m_journalWindow)
        m_journalWindow->close();
    event->accept();
}

void MainPrint::Option1_Click() {
    m_sheet.setIntlFlag(0);
}

void MainPrint::Option2_Click() {
    m_sheet.setIntlFlag(1);
}

// Printing may block on the picture load.
void MainPrint::Command2_Click() {
    blocking([this] { m_printJob->requestPrint(); });
}

void MainPrint::leftr_Change(const QString &text) {
    m_position->setLeftOffsetMm(text);
}

void MainPrint::topb_Change(const QString &text) {
    m_position->setTopOffsetMm(text);
}

void MainPrint::cmdtoleft_Click() {
    m_position->nudgeLeft();
}

void MainPrint::cmdtoright_Click() {
    m_position->nudgeRight();
}

void MainPrint::cmdtotop_Click() {
    m_position->nudgeUp();
}

void MainPrint::cmdtobum_Click() {
    m_position->nudgeDown();
}

void MainPrint::cmdpau_Click() {
    m_sheet.showPreviousPassenger();
}

void MainPrint::cmdnext_Click() {
    m_sheet.showNextPassenger();
}

void MainPrint::Command3_Click() {
    if (m_importWindow)
        return;
    m_importWindow = new BookingImportWindow(m_sheet, *m_messages, *m_clock, m_codes, this);
    m_importWindow->show();
}

void MainPrint::openPrintJournal() {
    if (!m_journalWindow) {
        m_journalWindow =
            new JournalWindow(m_journal->settings(), m_sheet, *m_messages, *m_clock, this);
        // Rows that waited in the outbox show up once they have been sent.
        connect(m_journal.get(), &PrintJournal::sendingFinished, m_journalWindow,
                [window = m_journalWindow.data()](bool complete) {
                    if (complete && window->isVisible())
                        window->refresh();
                });
    }
    m_journalWindow->show();
    m_journalWindow->raise();
    m_journalWindow->activateWindow();
}

void MainPrint::bindPrinting() {
    const auto showOffset = [](QLineEdit *edit, const QString &text) {
        if (edit->text() != text)
            edit->setText(text);
    };
    connect(leftr, &QLineEdit::textEdited, this, &MainPrint::leftr_Change);
    connect(topb, &QLineEdit::textEdited, this, &MainPrint::topb_Change);
    connect(m_position.get(), &PrintPosition::leftOffsetMmChanged, leftr,
            [this, showOffset](const QString &text) { showOffset(leftr, text); });
    connect(m_position.get(), &PrintPosition::topOffsetMmChanged, topb,
            [this, showOffset](const QString &text) { showOffset(topb, text); });
    connect(cmdtoleft, &ClickableLabel::clicked, this, &MainPrint::cmdtoleft_Click);
    connect(cmdtoright, &ClickableLabel::clicked, this, &MainPrint::cmdtoright_Click);
    connect(cmdtotop, &ClickableLabel::clicked, this, &MainPrint::cmdtotop_Click);
    connect(cmdtobum, &ClickableLabel::clicked, this, &MainPrint::cmdtobum_Click);

    connect(Command2, &QPushButton::clicked, this, &MainPrint::Command2_Click);
    connect(m_printJob.get(), &PrintJob::printEnabledChanged, Command2, &QPushButton::setEnabled);
    connect(m_printJob.get(), &PrintJob::receiptPictureChanged, this, [this] {
        QPixmap picture;
        picture.loadFromData(m_printJob->receiptPicture());
        Image1->setPixmap(picture);
    });
    connect(Command3, &QPushButton::clicked, this, &MainPrint::Command3_Click);
}

void MainPrint::buildQueryBar() {
    m_frame1 = placed(new QGroupBox(m_sheetArea), u"Frame1"_s, twipsRect(120, 0, 1695, 615));
    Option1 =
        placed(new QRadioButton(u"国内"_s, m_frame1), u"Option1"_s, twipsRect(120, 240, 735, 255));
    Option2 =
        placed(new QRadioButton(u"国际"_s, m_frame1), u"Option2"_s, twipsRect(840, 240, 735, 255));

    makeLabel(u"票号"_s, twipsRect(1875, 240, 495, 255), m_sheetArea);
    Tn = placed(new QLineEdit(m_sheetArea), u"Tn"_s, twipsRect(2280, 120, 1455, 375));
    makeLabel(u"姓名"_s, twipsRect(3840, 240, 495, 255), m_sheetArea);
    Nm = placed(new QLineEdit(m_sheetArea), u"Nm"_s, twipsRect(4200, 120, 975, 375));
    makeLabel(u"验证码"_s, twipsRect(5280, 240, 735, 255), m_sheetArea);
    Text1 = placed(new QLineEdit(m_sheetArea), u"Text1"_s, twipsRect(5880, 120, 615, 375));
    Image2 = placed(new ClickableLabel(QString(), m_sheetArea), u"Image2"_s,
                    twipsRect(6480, 120, 1095, 375));

    Command1 = placed(new QPushButton(u"导入"_s, m_sheetArea), u"Command1"_s,
                      twipsRect(7560, 120, 735, 375));
    Command1->setEnabled(false);
    Command2 = placed(new QPushButton(u"打印"_s, m_sheetArea), u"Command2"_s,
                      twipsRect(8280, 120, 735, 375));
    Command3 = placed(new QPushButton(u"PNR导入"_s, m_sheetArea), u"Command3"_s,
                      twipsRect(9000, 120, 855, 375));

    auto *line = new LineWidget(QColor(128, 64, 0), m_sheetArea);
    line->setObjectName(u"Line1"_s);
    line->setGeometry(twipsToPixels(1800), twipsToPixels(600),
                      twipsToPixels(10800) - twipsToPixels(1800), 1);
}

void MainPrint::buildPrintPosition() {
    m_frame2 = placed(new QGroupBox(u"打印位置"_s, m_sheetArea), u"Frame2"_s,
                      twipsRect(10800, 0, 2175, 615));
    leftr = placed(new QLineEdit(u"0"_s, m_frame2), u"leftr"_s, twipsRect(360, 240, 375, 270));
    topb = placed(new QLineEdit(u"0"_s, m_frame2), u"topb"_s, twipsRect(1360, 240, 375, 270));

    QFont nudgeFont(SerifCjk, 9);
    nudgeFont.setBold(true);
    const auto nudge = [&](const QString &name, const QString &caption, const QRect &rect) {
        auto *label = new ClickableLabel(caption, m_frame2);
        label->setObjectName(name);
        label->setFont(nudgeFont);
        label->setGeometry(rect);
        return label;
    };
    cmdtoleft = nudge(u"cmdtoleft"_s, u"<<"_s, twipsRect(120, 300, 255, 255));
    cmdtoright = nudge(u"cmdtoright"_s, u">>"_s, twipsRect(720, 300, 255, 255));
    cmdtotop = nudge(u"cmdtotop"_s, u"︽"_s, twipsRect(1160, 240, 255, 135));
    cmdtobum = nudge(u"cmdtobum"_s, u"︾"_s, twipsRect(1760, 360, 255, 135));
}

void MainPrint::buildSheet() {
    for (const SheetLabel &info : sheetLabels()) {
        makeLabel(info.caption.toString(), twipsToPixels(info.rect), m_sheetArea,
                  info.centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    }
    for (const FieldInfo &info : fieldTable()) {
        auto *edit = new SheetFieldEdit(m_sheet, info.index, m_sheetArea);
        edit->setGeometry(twipsToPixels(fieldRect(info.index)));
        m_fields[info.index] = edit;
    }
    cmdpau = placed(new QPushButton(u"上一位"_s, m_sheetArea), u"cmdpau"_s,
                    twipsRect(4440, 720, 975, 375));
    cmdnext = placed(new QPushButton(u"下一位"_s, m_sheetArea), u"cmdnext"_s,
                     twipsRect(5400, 720, 975, 375));

    // The rendered receipt, stretched to its box, out of sight below the sheet.
    Image1 = placed(new QLabel(m_sheetArea), u"Image1"_s, twipsRect(1080, 5280, 11640, 5970));
    Image1->setScaledContents(true);
}

void MainPrint::setFocusOrder() {
    QList<QWidget *> order{Option1,  Option2,  Tn,       Nm,    Text1,
                           Command1, Command2, Command3, leftr, topb};
    for (int index : sheetFocusOrder())
        order.append(m_fields[index]);
    order.append(cmdpau);
    order.append(cmdnext);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MainPrint::bindModel() {
    connect(Option1, &QRadioButton::clicked, this, &MainPrint::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &MainPrint::Option2_Click);
    connect(&m_sheet, &Itinerary::intlFlagChanged, this,
            [this](qint16 flag) { (flag == 0 ? Option1 : Option2)->setChecked(true); });
    connect(cmdnext, &QPushButton::clicked, this, &MainPrint::cmdnext_Click);
    connect(cmdpau, &QPushButton::clicked, this, &MainPrint::cmdpau_Click);
    const auto showButtons = [this] {
        cmdpau->setEnabled(m_sheet.previousEnabled());
        cmdnext->setEnabled(m_sheet.nextEnabled());
    };
    connect(&m_sheet, &Itinerary::passengerButtonsChanged, this, showButtons);
    showButtons();
    connect(Text1, &QLineEdit::textChanged, this, &MainPrint::Text1_Change);
}

// The captcha text is upper-cased on every change with the caret kept at the end.
void MainPrint::Text1_Change() {
    const QString upper = Text1->text().toUpper();
    if (upper != Text1->text())
        Text1->setText(upper);
    Text1->setCursorPosition(int(Text1->text().size()));
}

// What the operator does not need to see the window waits until it has been painted for the
// first time, when the events already queued have been handled: the browser engine, slow to
// load and to start, then the print journal's database (its driver and file take tens of
// milliseconds), opened while the engine's own process starts the site's page. The window
// shows at once and the site loads behind it. (A zero timer started before the first paint
// would fire before it and delay it.)
void MainPrint::paintEvent(QPaintEvent *event) {
    QWidget::paintEvent(event);
    if (m_painted)
        return;
    m_painted = true;
    QTimer::singleShot(0, this, &MainPrint::createBrowser);
    QTimer::singleShot(0, m_journal.get(), &PrintJournal::sendWaiting);
}

// The engine's browser control, loaded from its module now that the window is up. Its page is
// never shown and is no part of the window: no native window is added or replaced, and the
// keyboard focus never goes into a page nobody sees. A build without a site address has no
// browser; without the module the operator is told, and the rest of the program works.
void MainPrint::createBrowser() {
    if (m_browser != nullptr || m_config.siteHomeUrl.isEmpty())
        return;
    QString error;
    BrowserEngine *engine = loadBrowserEngine(m_config.browserEngineFile, &error);
    if (engine == nullptr) {
        m_messages->showMessage(BrowserMissingMessage.arg(error));
        return;
    }
    // The captcha picture must be fetched in the page's session, as the page's own browser.
    std::unique_ptr<BrowserControl> web = engine->createBrowser(m_loader->cookieJar());
    m_loader->setUserAgent(web->userAgent());
    m_browser = web.get();
    m_ownBrowser = std::move(web);
    bindBrowser();
    if (m_siteOpened)
        navigateToSite();
    Q_EMIT browserCreated();
}

void MainPrint::bindBrowser() {
    connect(m_browser, &BrowserControl::DownloadComplete, this, &MainPrint::WebBs_DownloadComplete);
    connect(m_browser, &BrowserControl::DocumentComplete, this, &MainPrint::WebBs_DocumentComplete);
    connect(m_browser, &BrowserControl::StatusTextChange, this, &MainPrint::WebBs_StatusTextChange);
    connect(m_browser, &BrowserControl::pageAlert, this, &MainPrint::showPageAlert);
    connect(Command1, &QPushButton::clicked, this, &MainPrint::Command1_Click);
    connect(Image2, &ClickableLabel::clicked, this, &MainPrint::Image2_Click);
}

// The last step of start-up: the browser loads the site's start page, at once when it
// exists, otherwise as soon as it has been made.
void MainPrint::openVerificationSite() {
    m_siteOpened = true;
    navigateToSite();
}

void MainPrint::navigateToSite() {
    if (m_browser != nullptr && !m_config.siteHomeUrl.isEmpty())
        m_browser->navigate(m_config.siteHomeUrl);
}

// A fresh captcha picture for the page's session, shown at its own size. When none can be
// had the picture area stays where it was, empty, and a click on it tries again.
void MainPrint::refreshCaptcha() {
    const QByteArray picture =
        m_loader->loadPicture(m_config.captchaUrl + requestTimeStamp(m_clock->now()));
    QPixmap pixmap;
    pixmap.loadFromData(picture);
    Image2->setPixmap(pixmap);
    if (!pixmap.isNull())
        Image2->resize(pixmap.size());
}

// Loading the picture blocks.
void MainPrint::Image2_Click() {
    blocking([this] { refreshCaptcha(); });
}

void MainPrint::Command1_Click() {
    submitQuery();
}

// Checks what the operator typed, writes the cleaned texts back, and on success puts them
// into the site's query form and runs its script. "导入" stays disabled until the next page
// completes, or until a rejected input has been reported.
void MainPrint::submitQuery() {
    Command1->setEnabled(false);
    Tn->setText(cleanTicketNumber(Tn->text()));
    if (!ticketNumberAccepted(Tn->text())) {
        m_messages->showMessage(TicketNumberLengthMessage.toString());
        Command1->setEnabled(true);
        return;
    }
    Nm->setText(trimBlanks(Nm->text()));
    Text1->setText(trimBlanks(Text1->text()));
    if (!captchaAccepted(Text1->text())) {
        m_messages->showMessage(CaptchaLengthMessage.toString());
        Command1->setEnabled(true);
        return;
    }
    fillQueryPage(0);
}

// The page answers asynchronously, so each step starts the next one when it has succeeded:
// the three inputs in order, each read from its box at that moment, then the script.
void MainPrint::fillQueryPage(int step) {
    if (m_browser == nullptr) {
        queryPageNotReady();
        return;
    }
    const std::array<std::pair<QStringView, QLineEdit *>, 3> inputs{{
        {TicketNumberInputId, Tn},
        {PassengerNameInputId, Nm},
        {CaptchaInputId, Text1},
    }};
    if (step < int(inputs.size())) {
        const auto &[id, box] = inputs[step];
        m_browser->setElementValue(id.toString(), box->text(), [this, step](bool ok) {
            if (ok)
                fillQueryPage(step + 1);
            else
                queryPageNotReady();
        });
        return;
    }
    m_browser->execScript(QueryScript.toString(), [this](bool ok) {
        if (!ok)
            queryPageNotReady();
    });
}

// The page shown is not the site's query page (an error page, a page without the form, a
// failing script). The operator is told and may try again; the start page is loaded again
// so that the next try finds the query form and a fresh captcha.
void MainPrint::queryPageNotReady() {
    m_messages->showMessage(QueryPageNotReadyMessage.toString());
    Command1->setEnabled(true);
    navigateToSite();
}

// Every completed page, whatever it is: "导入" becomes usable, a new captcha is shown (a
// load that blocks), and the result page import is allowed from now on.
void MainPrint::WebBs_DocumentComplete() {
    blocking([this] {
        Command1->setEnabled(true);
        refreshCaptcha();
        m_pageReady = true;
    });
}

// The site's page alerts the operator (an incomplete query, for one) in a box titled as a
// browser titles a page's message; the page's script waits until it is closed.
void MainPrint::showPageAlert(const QString &text) {
    blocking([&] { m_messages->showMessage(text, u"来自网页的消息"_s); });
}

void MainPrint::WebBs_StatusTextChange(const QString &text) {
    if (text != u"完成"_s)
        return;
    m_pageReady = true;
    Command1->setEnabled(true);
}

void MainPrint::WebBs_DownloadComplete(const QString &documentMarkup,
                                       const std::optional<QString> &thirdTableInnerMarkup) {
    importResultPage(m_pageReady, documentMarkup, thirdTableInnerMarkup, m_sheet, *m_messages);
}

} // namespace itinerary
