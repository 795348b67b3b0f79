#include "textimport/ui/BookingImportWindow.h"

#include "base/Messages.h"
#include "textimport/BookingDisplayImport.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QPushButton>

#include <exception>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {
QRect twips(int left, int top, int width, int height) {
    return QRect(left / 15, top / 15, width / 15, height / 15);
}
} // namespace

BookingImportWindow::BookingImportWindow(Itinerary &sheet, Messages &messages, const Clock &clock,
                                         const CodeTables &codes, QWidget *mainWindow)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint)
    , m_sheet(sheet)
    , m_messages(messages)
    , m_clock(clock)
    , m_codes(codes)
    , m_mainWindow(mainWindow) {
    setObjectName(u"P_Pnr"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"PNR内容导入"_s);
    setFixedSize(8175 / 15, 5235 / 15);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(u"Text1"_s);
    Text1->setGeometry(twips(0, 0, 8055, 4695));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setFont([] {
        QFont f(u"Noto Serif CJK SC"_s);
        f.setPointSizeF(14.25);
        return f;
    }());
    QPalette p = Text1->palette();
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Text, QColor(0, 192, 0));
    Text1->setPalette(p);

    Command2 = new QPushButton(u"取消"_s, this);
    Command2->setObjectName(u"Command2"_s);
    Command2->setGeometry(twips(4920, 4800, 1215, 375));
    Command1 = new QPushButton(u"导入"_s, this);
    Command1->setObjectName(u"Command1"_s);
    Command1->setGeometry(twips(6480, 4800, 1095, 375));

    connect(Command1, &QPushButton::clicked, this, &BookingImportWindow::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &BookingImportWindow::close);

    // Load: the main window takes no input while this window is open.
    if (m_mainWindow)
        m_mainWindow->setEnabled(false);
}

BookingImportWindow::~BookingImportWindow() {
    Form_Unload();
}

void BookingImportWindow::importBookingDisplay() {
    // A fault inside the parse must never end the program; the window closes as usual.
    try {
        itinerary::importBookingDisplay(Text1->toPlainText(), m_sheet, m_messages, m_clock,
                                        m_codes);
    } catch (const std::exception &) {
        m_messages.showMessage(u"导入失败：无法识别的订座记录内容"_s);
    }
}

void BookingImportWindow::Command1_Click() {
    importBookingDisplay();
    close();
}

void BookingImportWindow::closeEvent(QCloseEvent *event) {
    Form_Unload();
    QWidget::closeEvent(event);
}

void BookingImportWindow::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (m_mainWindow)
        m_mainWindow->setEnabled(true);
}

} // namespace itinerary
