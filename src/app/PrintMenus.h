#pragma once

#include "journal/ui/JournalWindow.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QAction;
class QMenuBar;
class QPoint;
class QWidget;

namespace itinerary {

class Messages;
class PrintDesk;
class RunProgressDialog;
struct StepsOutcome;

// The main window's menus and the work behind them: printing one receipt or the whole
// booking, the preview, the PDF copy, the calibration page, the print journal and the
// program's details. The work itself is the application core's (the print job, the group
// print, the copy run); these show it, with `window` as the parent of their dialogs.
class PrintMenus final : public QObject {
    Q_OBJECT

public:
    PrintMenus(PrintDesk &desk, Messages &messages, QWidget *window);

    QMenuBar *menuBar() const { return m_menuBar; }

    // "全部打印…": every passenger of the list through the print job, one after the other.
    void printAllPassengers();
    // "打印预览…": the picture the service returns for the sheet as it stands, over the
    // form's outline at the offsets the printer would use. Nothing is printed or advanced.
    void showPrintPreview();
    // "另存为PDF…": where to save, and with several passengers whether to take them all.
    void saveReceiptCopy();
    // "打印校准页": every field's box with its index and the rulers, where the receipt would
    // land at the current offsets. No request, no check code.
    void printCalibrationPage();
    // "打印记录…": the print journal window, opened or brought to the front.
    void openPrintJournal();
    // "关于": the program, its version and the rendering service it prints with.
    void showAbout();

    // The print journal window while it is open.
    JournalWindow *journalWindow() const { return m_journalWindow; }
    // Closes the windows of its own (the print journal) with the main window.
    void closeWindows();

Q_SIGNALS:
    // "打印" (the menu item, or the preview's button): the window's Print button handler.
    void printRequested();

private:
    void buildMenuBar();
    void bindRuns();
    void groupPrintFinished(const StepsOutcome &outcome);
    void previewArrived(const QByteArray &picture, const QPoint &offsets);
    void writeReceiptCopy(const QString &path, bool everyPassenger);
    void receiptCopyFinished(const StepsOutcome &outcome);
    // The offsets in twips as the printer will use them; a message when they cannot be used.
    std::optional<QPoint> usableOffsetsTwips();
    RunProgressDialog *startProgress(const QString &title, int count);

    PrintDesk &m_desk;
    Messages &m_messages;
    QWidget *m_window;
    QMenuBar *m_menuBar = nullptr;
    QList<QAction *> m_printActions; // usable only while "打印" is
    QPointer<RunProgressDialog> m_progress;
    QPointer<JournalWindow> m_journalWindow;
    QString m_copyPath;
    QString m_copyFolder;
};

} // namespace itinerary
