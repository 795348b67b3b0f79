#include "app/PrintMenus.h"

#include "BuildConfig.h"
#include "app/RunProgressDialog.h"
#include "base/Messages.h"
#include "desk/PrintDesk.h"
#include "journal/PrintJournal.h"
#include "journal/ui/JournalWindow.h"
#include "print/GroupPrint.h"
#include "print/PrintJob.h"
#include "print/PrintMessages.h"
#include "print/PrintOffsets.h"
#include "print/PrintPosition.h"
#include "print/ReceiptCopy.h"
#include "print/ReceiptPictures.h"
#include "print/ReceiptPrinter.h"
#include "print/pdf/ReceiptCopyPdf.h"
#include "print/ui/ReceiptPreviewDialog.h"
#include "render/ReceiptRenderer.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {
QAction *addMenuAction(QMenu *menu, const QString &text, const QString &name,
                       const QKeySequence &shortcut = {}) {
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}
} // namespace

PrintMenus::PrintMenus(PrintDesk &desk, Messages &messages, QWidget *window)
    : QObject(window)
    , m_desk(desk)
    , m_messages(messages)
    , m_window(window) {
    buildMenuBar();
    bindRuns();
}

void PrintMenus::buildMenuBar() {
    m_menuBar = new QMenuBar(m_window);
    m_menuBar->setObjectName(u"menuBar"_s);

    QMenu *print = m_menuBar->addMenu(u"打印(&P)"_s);
    print->setObjectName(u"printMenu"_s);
    QAction *printOne =
        addMenuAction(print, u"打印"_s, u"printAction"_s, QKeySequence(Qt::CTRL | Qt::Key_P));
    QAction *printAll = addMenuAction(print, u"全部打印…"_s, u"printAllAction"_s,
                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    QAction *preview = addMenuAction(print, u"打印预览…"_s, u"previewAction"_s,
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    QAction *savePdf = addMenuAction(print, u"另存为PDF…"_s, u"savePdfAction"_s,
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    print->addSeparator();
    QAction *calibration = addMenuAction(print, u"打印校准页"_s, u"calibrationAction"_s);
    m_printActions = {printOne, printAll, preview, savePdf, calibration};
    connect(printOne, &QAction::triggered, this, &PrintMenus::printRequested);
    connect(printAll, &QAction::triggered, this, &PrintMenus::printAllPassengers);
    connect(preview, &QAction::triggered, this, &PrintMenus::showPrintPreview);
    connect(savePdf, &QAction::triggered, this, &PrintMenus::saveReceiptCopy);
    connect(calibration, &QAction::triggered, this, &PrintMenus::printCalibrationPage);

    QMenu *records = m_menuBar->addMenu(u"记录(&R)"_s);
    records->setObjectName(u"recordsMenu"_s);
    QAction *journal = addMenuAction(records, u"打印记录…"_s, u"printJournalAction"_s,
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));
    connect(journal, &QAction::triggered, this, &PrintMenus::openPrintJournal);

    QMenu *help = m_menuBar->addMenu(u"帮助(&H)"_s);
    help->setObjectName(u"helpMenu"_s);
    QAction *about = addMenuAction(help, u"关于"_s, u"aboutAction"_s);
    connect(about, &QAction::triggered, this, &PrintMenus::showAbout);
}

void PrintMenus::bindRuns() {
    // While a print is pending nothing else may start on the printer.
    connect(&m_desk.printJob(), &PrintJob::printEnabledChanged, this, [this](bool enabled) {
        for (QAction *action : std::as_const(m_printActions))
            action->setEnabled(enabled);
    });

    GroupPrint &group = m_desk.groupPrint();
    connect(&group, &GroupPrint::receiptStarting, this,
            [this](int number, int count, const QString &name) {
                if (m_progress)
                    m_progress->setText(groupPrintProgressText(number, count, name));
            });
    connect(&group, &GroupPrint::receiptPrinted, this, [this](int number) {
        if (m_progress)
            m_progress->setDone(number);
    });
    connect(&group, &GroupPrint::finished, this, &PrintMenus::groupPrintFinished);

    ReceiptCopyRun &copy = m_desk.copyRun();
    connect(&copy, &ReceiptCopyRun::pageStarting, this,
            [this](int number, int count, const QString &name) {
                if (m_progress) {
                    m_progress->setText(u"正在生成 %1/%2：%3"_s.arg(number).arg(count).arg(name));
                    m_progress->setDone(number - 1);
                }
            });
    connect(&copy, &ReceiptCopyRun::finished, this, &PrintMenus::receiptCopyFinished);
}

RunProgressDialog *PrintMenus::startProgress(const QString &title, int count) {
    if (m_progress)
        m_progress->finish();
    m_progress = new RunProgressDialog(title, count, m_window);
    m_progress->show();
    return m_progress;
}

void PrintMenus::printAllPassengers() {
    if (m_desk.runInProgress() || !m_desk.printJob().printEnabled())
        return;
    RunProgressDialog *progress =
        startProgress(u"全部打印"_s, PassengerSteps::entryCount(m_desk.sheet()));
    connect(progress, &RunProgressDialog::cancelRequested, &m_desk.groupPrint(),
            &GroupPrint::cancel);
    m_desk.groupPrint().start();
}

void PrintMenus::groupPrintFinished(const StepsOutcome &outcome) {
    if (m_progress)
        m_progress->finish();
    if (outcome.failed)
        m_messages.showMessage(groupPrintFailureMessage(outcome));
    else if (outcome.cancelled)
        m_messages.showMessage(groupPrintCancelledMessage(outcome));
}

std::optional<QPoint> PrintMenus::usableOffsetsTwips() {
    const std::optional<int> left = offsetTwips(m_desk.position().leftOffsetMm());
    const std::optional<int> top = offsetTwips(m_desk.position().topOffsetMm());
    if (!left || !top) {
        m_messages.showMessage(printmessages::BadPosition.toString());
        return std::nullopt;
    }
    return QPoint(*left, *top);
}

void PrintMenus::showPrintPreview() {
    const std::optional<QPoint> offsets = usableOffsetsTwips();
    if (!offsets)
        return;
    m_desk.receiptPictures().load(
        m_desk.sheet(), this,
        [this, at = *offsets](const QByteArray &picture) { previewArrived(picture, at); });
}

void PrintMenus::previewArrived(const QByteArray &picture, const QPoint &offsets) {
    const QImage image = QImage::fromData(picture);
    if (image.isNull())
        return m_messages.showMessage(printmessages::NoPreviewPicture.toString());
    auto *dialog =
        new ReceiptPreviewDialog(image, m_desk.formLayout(), offsets.x() / TwipsPerMillimetre,
                                 offsets.y() / TwipsPerMillimetre, m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this](int choice) {
        // Once the dialog is gone: the print and the file dialog are the window's own.
        if (choice == ReceiptPreviewDialog::Print)
            QTimer::singleShot(0, this, &PrintMenus::printRequested);
        else if (choice == ReceiptPreviewDialog::SaveAsPdf)
            QTimer::singleShot(0, this, &PrintMenus::saveReceiptCopy);
    });
    dialog->open();
}

void PrintMenus::saveReceiptCopy() {
    if (m_desk.runInProgress())
        return;
    if (m_copyFolder.isEmpty())
        m_copyFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    auto *dialog = new QFileDialog(m_window, u"另存为PDF"_s,
                                   QDir(m_copyFolder).filePath(receiptCopyFileName(m_desk.sheet())),
                                   u"PDF 文件 (*.pdf)"_s);
    dialog->setObjectName(u"pdfFileDialog"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(u"pdf"_s);
    // Qt's own dialog, which can hold the choice of passengers.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    QCheckBox *everyPassenger = nullptr;
    if (PassengerSteps::entryCount(m_desk.sheet()) > 1) {
        everyPassenger = new QCheckBox(u"全部旅客"_s, dialog);
        everyPassenger->setObjectName(u"everyPassenger"_s);
        if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout()))
            grid->addWidget(everyPassenger, grid->rowCount(), 0, 1, grid->columnCount());
    }
    connect(dialog, &QFileDialog::fileSelected, this, [this, everyPassenger](const QString &path) {
        const bool all = everyPassenger != nullptr && everyPassenger->isChecked();
        QTimer::singleShot(0, this, [this, path, all] { writeReceiptCopy(path, all); });
    });
    dialog->open();
}

void PrintMenus::writeReceiptCopy(const QString &path, bool everyPassenger) {
    if (m_desk.runInProgress())
        return;
    m_copyPath = path;
    m_copyFolder = QFileInfo(path).absolutePath();
    // Stepping through the list, the window must not take input between two pages.
    ReceiptCopyRun &copy = m_desk.copyRun();
    if (everyPassenger) {
        RunProgressDialog *progress =
            startProgress(u"另存为PDF"_s, PassengerSteps::entryCount(m_desk.sheet()));
        connect(progress, &RunProgressDialog::cancelRequested, &copy, &ReceiptCopyRun::cancel);
    }
    copy.start(everyPassenger);
}

void PrintMenus::receiptCopyFinished(const StepsOutcome &outcome) {
    if (m_progress)
        m_progress->finish();
    if (outcome.failed)
        return m_messages.showMessage(receiptCopyFailureMessage(outcome));
    if (outcome.cancelled)
        return;
    const Result<> saved =
        saveReceiptCopyPdf(m_copyPath, m_desk.copyRun().pictures(), m_desk.formLayout());
    if (!saved)
        m_messages.showMessage(u"PDF未保存：%1"_s.arg(saved.error()));
}

void PrintMenus::printCalibrationPage() {
    if (!m_desk.printJob().printEnabled())
        return;
    const std::optional<QPoint> offsets = usableOffsetsTwips();
    if (!offsets)
        return;
    const QByteArray page = ReceiptRenderer(m_desk.formLayout()).calibrationPng();
    if (!m_desk.printer()->printPicture(page, offsets->x(), offsets->y()))
        m_messages.showMessage(printmessages::NoPrinter.toString());
}

void PrintMenus::openPrintJournal() {
    if (!m_journalWindow) {
        m_journalWindow = new JournalWindow(m_desk.journal().settings(), m_desk.sheet(), m_messages,
                                            m_desk.clock(), m_window);
        // Rows that waited in the outbox show up once they have been sent.
        connect(&m_desk.journal(), &PrintJournal::sendingFinished, m_journalWindow,
                [window = m_journalWindow.data()](bool complete) {
                    if (complete && window->isVisible())
                        window->refresh();
                });
    }
    m_journalWindow->show();
    m_journalWindow->raise();
    m_journalWindow->activateWindow();
}

void PrintMenus::closeWindows() {
    if (m_journalWindow)
        m_journalWindow->close();
}

void PrintMenus::showAbout() {
    const QString base = m_desk.serviceBaseUrl();
    const QString service = base.isEmpty() ? u"（未启动）"_s : base;
    m_messages.showMessage(
        u"%1\n版本 %2\n打印服务：%3"_s.arg(m_desk.startupValues().applicationTitle,
                                           QStringLiteral(ITINERARY_VERSION), service),
        u"关于"_s);
}

} // namespace itinerary
