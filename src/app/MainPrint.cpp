#include "app/MainPrint.h"

#include "app/ClickableLabel.h"
#include "app/InputHold.h"
#include "app/PrintMenus.h"
#include "app/SheetFieldEdit.h"
#include "base/Messages.h"
#include "desk/PrintDesk.h"
#include "journal/PrintJournal.h"
#include "print/GroupPrint.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/net/NetworkPictureLoader.h"
#include "sheet/SheetGeometry.h"
#include "sheet/Twips.h"
#include "textimport/ui/BookingImportWindow.h"
#include "webimport/ui/BrowserControl.h"
#include "webimport/ui/VerificationQuery.h"

#include <QCloseEvent>
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

// The core is built first (it reads the settings and the agency's files and starts the
// rendering service), then the controls, which show what it holds.
MainPrint::MainPrint(Config config, MainPrintSeams seams, QWidget *parent)
    : QWidget(parent)
    , m_config(std::move(config))
    , m_edges(seams, this) {
    DeskSetup setup = m_config.deskSetup();
    // Its database is opened, and what an earlier run kept back sent, once the window has
    // been painted (or by a print before that).
    setup.journalWaiting = PrintJournal::WaitingRows::SendLater;
    m_desk = std::make_unique<PrintDesk>(
        std::move(setup), DeskEdges{m_edges.messages(), m_edges.clock(), &m_edges.printer()});
    // The window names the passenger whose receipt failed, in one message.
    m_desk->groupPrint().setJobReportsFailures(false);

    setObjectName(u"MainPrint"_s);
    setFont(QFont(SansCjk, 9));
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
    m_menus = new PrintMenus(*m_desk, m_edges.messages(), this);
    frame->setMenuBar(m_menus->menuBar());
    frame->activate(); // fixes the window's size now, not only once it is shown

    buildQueryBar();
    buildPrintPosition();
    buildSheet();
    setFocusOrder();
    bindModel();
    bindPrinting();
    m_inputHold = new InputHold(this);
    connect(&m_desk->pictureLoader(), &NetworkPictureLoader::loadingChanged, this,
            &MainPrint::loadsChanged);
    m_query = new VerificationQuery(
        QueryBar{Tn, Nm, Text1, Image2, Command1},
        SiteAddresses{m_config.siteHomeUrl, m_config.captchaUrl, m_config.browserEngineFile},
        m_desk->sheet(), m_desk->pictureLoader(), m_edges.messages(), m_edges.clock(), this);
    connect(m_query, &VerificationQuery::browserReady, this, &MainPrint::bindBrowser);
    if (seams.browser != nullptr)
        m_query->useBrowser(seams.browser);
    Form_Load();
}

MainPrint::~MainPrint() {
    if (m_importWindow)
        delete m_importWindow.data();
    // The browser copies the page's cookies into the core's picture loader: it goes first.
    delete m_query;
}

Itinerary &MainPrint::sheet() {
    return m_desk->sheet();
}

PrintPosition &MainPrint::printPosition() {
    return m_desk->position();
}

PrintJob &MainPrint::printJob() {
    return m_desk->printJob();
}

GroupPrint &MainPrint::groupPrint() {
    return m_desk->groupPrint();
}

PrintJournal &MainPrint::printJournal() {
    return m_desk->journal();
}

const StartupValues &MainPrint::startupValues() const {
    return m_desk->startupValues();
}

EmbeddedRenderService *MainPrint::renderService() const {
    return m_desk->embeddedService();
}

BrowserControl *MainPrint::browser() const {
    return m_query->browser();
}

bool MainPrint::pageReady() const {
    return m_query->pageReady();
}

JournalWindow *MainPrint::journalWindow() const {
    return m_menus->journalWindow();
}

// Start-up, in order: domestic selected, what the core found wrong with the counter's files
// or service, the caption, the site's start page.
void MainPrint::Form_Load() {
    Option1->setChecked(true);
    Option1_Click();
    for (const QString &message : m_desk->startMessages())
        m_edges.messages().showMessage(message);
    setWindowTitle(m_desk->startupValues().applicationTitle + u"  (软件启动有点慢，请耐心等待…)"_s);
    m_query->openSite();
}

// The operator's input waits while a picture loads, as it would for a blocked window; a
// close request that arrived meanwhile is carried out at the end.
void MainPrint::loadsChanged(bool loading) {
    m_inputHold->setHeld(loading);
    if (!loading && m_closePending) {
        m_closePending = false;
        close();
    }
}

// Shut-down: the settings are saved (the operator is told when they cannot be) and the
// program ends at once, closing the import window and dropping an armed print.
void MainPrint::closeEvent(QCloseEvent *event) {
    if (m_desk->pictureLoader().isLoading()) {
        m_closePending = true;
        event->ignore();
        return;
    }
    m_desk->printJob().dropArmedPrint();
    const Result<> saved = m_desk->saveSettings();
    if (!saved)
        m_edges.messages().showMessage(saved.error());
    if (m_importWindow)
        m_importWindow->close();
    m_menus->closeWindows();
    event->accept();
}

void MainPrint::Option1_Click() {
    m_desk->sheet().setIntlFlag(0);
}

void MainPrint::Option2_Click() {
    m_desk->sheet().setIntlFlag(1);
}

void MainPrint::Command2_Click() {
    m_desk->printJob().requestPrint();
}

void MainPrint::leftr_Change(const QString &text) {
    m_desk->position().setLeftOffsetMm(text);
}

void MainPrint::topb_Change(const QString &text) {
    m_desk->position().setTopOffsetMm(text);
}

void MainPrint::cmdtoleft_Click() {
    m_desk->position().nudgeLeft();
}

void MainPrint::cmdtoright_Click() {
    m_desk->position().nudgeRight();
}

void MainPrint::cmdtotop_Click() {
    m_desk->position().nudgeUp();
}

void MainPrint::cmdtobum_Click() {
    m_desk->position().nudgeDown();
}

void MainPrint::cmdpau_Click() {
    m_desk->sheet().showPreviousPassenger();
}

void MainPrint::cmdnext_Click() {
    m_desk->sheet().showNextPassenger();
}

void MainPrint::Command3_Click() {
    if (m_importWindow)
        return;
    m_importWindow = new BookingImportWindow(m_desk->sheet(), m_edges.messages(), m_edges.clock(),
                                             m_desk->codes(), this);
    m_importWindow->show();
}

void MainPrint::bindPrinting() {
    PrintPosition &position = m_desk->position();
    const auto showOffset = [](QLineEdit *edit, const QString &text) {
        if (edit->text() != text)
            edit->setText(text);
    };
    showOffset(leftr, position.leftOffsetMm());
    showOffset(topb, position.topOffsetMm());
    connect(leftr, &QLineEdit::textEdited, this, &MainPrint::leftr_Change);
    connect(topb, &QLineEdit::textEdited, this, &MainPrint::topb_Change);
    connect(&position, &PrintPosition::leftOffsetMmChanged, leftr,
            [this, showOffset](const QString &text) { showOffset(leftr, text); });
    connect(&position, &PrintPosition::topOffsetMmChanged, topb,
            [this, showOffset](const QString &text) { showOffset(topb, text); });
    connect(cmdtoleft, &ClickableLabel::clicked, this, &MainPrint::cmdtoleft_Click);
    connect(cmdtoright, &ClickableLabel::clicked, this, &MainPrint::cmdtoright_Click);
    connect(cmdtotop, &ClickableLabel::clicked, this, &MainPrint::cmdtotop_Click);
    connect(cmdtobum, &ClickableLabel::clicked, this, &MainPrint::cmdtobum_Click);

    PrintJob &job = m_desk->printJob();
    connect(Command2, &QPushButton::clicked, this, &MainPrint::Command2_Click);
    connect(m_menus, &PrintMenus::printRequested, this, &MainPrint::Command2_Click);
    connect(&job, &PrintJob::printEnabledChanged, Command2, &QPushButton::setEnabled);
    connect(&job, &PrintJob::receiptPictureChanged, this, [this, &job] {
        QPixmap picture;
        picture.loadFromData(job.receiptPicture());
        Image1->setPixmap(picture);
    });
    connect(Command3, &QPushButton::clicked, this, &MainPrint::Command3_Click);
}

void MainPrint::buildQueryBar() {
    auto *frame1 = placed(new QGroupBox(m_sheetArea), u"Frame1"_s, twipsRect(120, 0, 1695, 615));
    Option1 =
        placed(new QRadioButton(u"国内"_s, frame1), u"Option1"_s, twipsRect(120, 240, 735, 255));
    Option2 =
        placed(new QRadioButton(u"国际"_s, frame1), u"Option2"_s, twipsRect(840, 240, 735, 255));

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
    auto *frame2 = placed(new QGroupBox(u"打印位置"_s, m_sheetArea), u"Frame2"_s,
                          twipsRect(10800, 0, 2175, 615));
    leftr = placed(new QLineEdit(u"0"_s, frame2), u"leftr"_s, twipsRect(360, 240, 375, 270));
    topb = placed(new QLineEdit(u"0"_s, frame2), u"topb"_s, twipsRect(1360, 240, 375, 270));

    QFont nudgeFont(SerifCjk, 9);
    nudgeFont.setBold(true);
    const auto nudge = [&](const QString &name, const QString &caption, const QRect &rect) {
        auto *label = new ClickableLabel(caption, frame2);
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
        auto *edit = new SheetFieldEdit(m_desk->sheet(), info.index, m_sheetArea);
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
    connect(&m_desk->sheet(), &Itinerary::intlFlagChanged, this,
            [this](qint16 flag) { (flag == 0 ? Option1 : Option2)->setChecked(true); });
    connect(cmdnext, &QPushButton::clicked, this, &MainPrint::cmdnext_Click);
    connect(cmdpau, &QPushButton::clicked, this, &MainPrint::cmdpau_Click);
    const auto showButtons = [this] {
        cmdpau->setEnabled(m_desk->sheet().previousEnabled());
        cmdnext->setEnabled(m_desk->sheet().nextEnabled());
    };
    connect(&m_desk->sheet(), &Itinerary::passengerButtonsChanged, this, showButtons);
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

// What the operator does not need to see waits until the window has been painted for the
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
    QTimer::singleShot(0, m_query, &VerificationQuery::createBrowser);
    QTimer::singleShot(0, &m_desk->journal(), &PrintJournal::sendWaiting);
}

void MainPrint::bindBrowser() {
    BrowserControl *browser = m_query->browser();
    connect(browser, &BrowserControl::DownloadComplete, this, &MainPrint::WebBs_DownloadComplete);
    connect(browser, &BrowserControl::DocumentComplete, this, &MainPrint::WebBs_DocumentComplete);
    connect(browser, &BrowserControl::StatusTextChange, this, &MainPrint::WebBs_StatusTextChange);
    connect(browser, &BrowserControl::pageAlert, this, &MainPrint::showPageAlert);
    connect(Command1, &QPushButton::clicked, this, &MainPrint::Command1_Click);
    connect(Image2, &ClickableLabel::clicked, this, &MainPrint::Image2_Click);
    Q_EMIT browserCreated();
}

void MainPrint::Image2_Click() {
    m_query->refreshCaptcha();
}

void MainPrint::Command1_Click() {
    m_query->submit();
}

void MainPrint::WebBs_DocumentComplete() {
    m_query->documentComplete();
}

void MainPrint::showPageAlert(const QString &text) {
    m_query->showPageAlert(text);
}

void MainPrint::WebBs_StatusTextChange(const QString &text) {
    m_query->statusTextChanged(text);
}

void MainPrint::WebBs_DownloadComplete(const QString &documentMarkup,
                                       const std::optional<QString> &thirdTableInnerMarkup) {
    m_query->downloadComplete(documentMarkup, thirdTableInnerMarkup);
}

} // namespace itinerary
