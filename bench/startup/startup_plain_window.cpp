// The yardstick of the start-up benchmark: a plain Qt window with the main window's controls
// (the same menus, places, fonts and texts) and nothing behind them: no model, no settings, no
// services, no browser engine. Started by bench_startup as
//
//   startup_plain_window START_NS
//
// it prints the moments of its start-up (see StartupProbe) on one line and exits.
#include "StartupProbe.h"

#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/SheetGeometry.h"
#include "sheet/Twips.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

template <typename Widget> Widget *at(Widget *widget, const QRect &rect) {
    widget->setGeometry(rect);
    return widget;
}

// The menus over the sheet's area.
void buildMenus(QWidget &top) {
    auto *menuBar = new QMenuBar(&top);
    QMenu *print = menuBar->addMenu(u"打印(&P)"_s);
    for (const QString &text : {u"打印"_s, u"全部打印…"_s, u"打印预览…"_s, u"另存为PDF…"_s})
        print->addAction(text);
    print->addSeparator();
    print->addAction(u"打印校准页"_s);
    menuBar->addMenu(u"记录(&R)"_s)->addAction(u"打印记录…"_s);
    menuBar->addMenu(u"帮助(&H)"_s)->addAction(u"关于"_s);
    auto *frame = new QVBoxLayout(&top);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    frame->setSizeConstraint(QLayout::SetFixedSize);
    frame->setMenuBar(menuBar);
}

void buildControls(QWidget &window) {
    window.setFixedSize(twipsToPixels(13065), twipsToPixels(5025));

    auto *frame1 = at(new QGroupBox(&window), twipsRect(120, 0, 1695, 615));
    at(new QRadioButton(u"国内"_s, frame1), twipsRect(120, 240, 735, 255))->setChecked(true);
    at(new QRadioButton(u"国际"_s, frame1), twipsRect(840, 240, 735, 255));
    at(new QLabel(u"票号"_s, &window), twipsRect(1875, 240, 495, 255));
    at(new QLineEdit(&window), twipsRect(2280, 120, 1455, 375));
    at(new QLabel(u"姓名"_s, &window), twipsRect(3840, 240, 495, 255));
    at(new QLineEdit(&window), twipsRect(4200, 120, 975, 375));
    at(new QLabel(u"验证码"_s, &window), twipsRect(5280, 240, 735, 255));
    at(new QLineEdit(&window), twipsRect(5880, 120, 615, 375));
    at(new QLabel(&window), twipsRect(6480, 120, 1095, 375));
    at(new QPushButton(u"导入"_s, &window), twipsRect(7560, 120, 735, 375))->setEnabled(false);
    at(new QPushButton(u"打印"_s, &window), twipsRect(8280, 120, 735, 375));
    at(new QPushButton(u"PNR导入"_s, &window), twipsRect(9000, 120, 855, 375));
    auto *line = new QWidget(&window);
    line->setStyleSheet(u"background: rgb(128, 64, 0)"_s);
    line->setGeometry(twipsToPixels(1800), twipsToPixels(600), twipsToPixels(9000), 1);

    auto *frame2 = at(new QGroupBox(u"打印位置"_s, &window), twipsRect(10800, 0, 2175, 615));
    at(new QLineEdit(u"0"_s, frame2), twipsRect(360, 240, 375, 270));
    at(new QLineEdit(u"0"_s, frame2), twipsRect(1360, 240, 375, 270));
    QFont nudgeFont(u"Noto Serif CJK SC"_s, 9);
    nudgeFont.setBold(true);
    const std::array<std::pair<QString, TwipRect>, 4> nudges{{
        {u"<<"_s, {120, 300, 255, 255}},
        {u">>"_s, {720, 300, 255, 255}},
        {u"︽"_s, {1160, 240, 255, 135}},
        {u"︾"_s, {1760, 360, 255, 135}},
    }};
    for (const auto &[caption, rect] : nudges)
        at(new QLabel(caption, frame2), twipsToPixels(rect))->setFont(nudgeFont);

    for (const SheetLabel &info : sheetLabels()) {
        auto *label = at(new QLabel(info.caption.toString(), &window), twipsToPixels(info.rect));
        label->setAlignment(info.centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    }
    const Itinerary sheet; // the texts a new sheet shows
    for (const FieldInfo &info : fieldTable())
        at(new QLineEdit(sheet.text(info.index), &window), twipsToPixels(fieldRect(info.index)));
    at(new QPushButton(u"上一位"_s, &window), twipsRect(4440, 720, 975, 375))->setEnabled(false);
    at(new QPushButton(u"下一位"_s, &window), twipsRect(5400, 720, 975, 375))->setEnabled(false);
    at(new QLabel(&window), twipsRect(1080, 5280, 11640, 5970));
}

} // namespace

int main(int argc, char *argv[]) {
    bench::StartupProbe probe(argc > 1 ? QByteArray(argv[1]).toLongLong() : 0);
    QApplication app(argc, argv);
    probe.mark(u"app"_s);
    QWidget top;
    top.setFont(QFont(u"Noto Sans CJK SC"_s, 9));
    top.setWindowTitle(u"行程单打印软件  (软件启动有点慢，请耐心等待…)"_s);
    buildMenus(top);
    auto *window = new QWidget(&top);
    buildControls(*window);
    top.layout()->addWidget(window);
    probe.mark(u"constructed"_s);
    probe.watch(&top);
    top.show();
    probe.mark(u"shown"_s);
    // Time enough for a late re-creation to show.
    QTimer::singleShot(500, &app, &QApplication::quit);
    app.exec();
    QTextStream(stdout) << probe.report() << Qt::endl;
    return 0;
}
