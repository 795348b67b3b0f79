#pragma once

#include <QPointer>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace itinerary {

class Clock;
class CodeTables;
class Itinerary;
class Messages;

// The paste window for the booking display. A fresh window each time; it stays on top, and
// the main window takes no input while it is open. "导入" runs the parser over the pasted text
// and closes once the operator has dismissed any message; "取消" and the close box change
// nothing. Airports and airlines are named from `codes`, which must outlive the window.
class BookingImportWindow final : public QWidget {
    Q_OBJECT

public:
    BookingImportWindow(Itinerary &sheet, Messages &messages, const Clock &clock,
                        const CodeTables &codes, QWidget *mainWindow);
    ~BookingImportWindow() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    void Command1_Click();

private:
    // Parses the pasted text into the sheet.
    void importBookingDisplay();
    void Form_Unload();

    // The controls, by their object names.
    QPlainTextEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr; // "导入"
    QPushButton *Command2 = nullptr; // "取消"

    Itinerary &m_sheet;
    Messages &m_messages;
    const Clock &m_clock;
    const CodeTables &m_codes;
    QPointer<QWidget> m_mainWindow;
    bool m_unloaded = false;
};

} // namespace itinerary
