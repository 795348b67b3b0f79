#pragma once

#include "app/ClickableLabel.h"
#include "app/SheetFieldEdit.h"
#include "textimport/ui/BookingImportWindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// The windows' controls, found by their object names as an operator's tool would name them.
namespace itinerary::test {

template <typename Control> Control *control(const QWidget &window, const QString &name) {
    Control *found = window.findChild<Control *>(name);
    if (found == nullptr)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(window.objectName()));
    return found;
}

struct MainWindowControls {
    explicit MainWindowControls(const QWidget &w)
        : window(w) {}

    // Sheet field `index` ("Pt0" to "Pt58").
    SheetFieldEdit *field(int index) const {
        return control<SheetFieldEdit>(window, QStringLiteral("Pt%1").arg(index));
    }

    const QWidget &window;
    QRadioButton *Option1 = control<QRadioButton>(window, QStringLiteral("Option1"));
    QRadioButton *Option2 = control<QRadioButton>(window, QStringLiteral("Option2"));
    QLineEdit *Tn = control<QLineEdit>(window, QStringLiteral("Tn"));
    QLineEdit *Nm = control<QLineEdit>(window, QStringLiteral("Nm"));
    QLineEdit *Text1 = control<QLineEdit>(window, QStringLiteral("Text1"));
    ClickableLabel *Image2 = control<ClickableLabel>(window, QStringLiteral("Image2"));
    QPushButton *Command1 = control<QPushButton>(window, QStringLiteral("Command1"));
    QPushButton *Command2 = control<QPushButton>(window, QStringLiteral("Command2"));
    QPushButton *Command3 = control<QPushButton>(window, QStringLiteral("Command3"));
    QLineEdit *leftr = control<QLineEdit>(window, QStringLiteral("leftr"));
    QLineEdit *topb = control<QLineEdit>(window, QStringLiteral("topb"));
    ClickableLabel *cmdtoleft = control<ClickableLabel>(window, QStringLiteral("cmdtoleft"));
    ClickableLabel *cmdtoright = control<ClickableLabel>(window, QStringLiteral("cmdtoright"));
    ClickableLabel *cmdtotop = control<ClickableLabel>(window, QStringLiteral("cmdtotop"));
    ClickableLabel *cmdtobum = control<ClickableLabel>(window, QStringLiteral("cmdtobum"));
    QPushButton *cmdpau = control<QPushButton>(window, QStringLiteral("cmdpau"));
    QPushButton *cmdnext = control<QPushButton>(window, QStringLiteral("cmdnext"));
    QLabel *Image1 = control<QLabel>(window, QStringLiteral("Image1"));
};

inline MainWindowControls ui(const QWidget &mainWindow) {
    return MainWindowControls(mainWindow);
}

// The booking import window while it is open: a top-level window of its own.
inline BookingImportWindow *importWindow() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (auto *found = qobject_cast<BookingImportWindow *>(window))
            return found;
    }
    return nullptr;
}

} // namespace itinerary::test
