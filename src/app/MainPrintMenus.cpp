// The main window's menus: printing one receipt or the whole booking, the preview, the PDF
// copy, the calibration page, the print journal and the program's details. The work itself
// is the core's (the print job, GroupPrint, ReceiptCopyRun); these handlers show it.
#include "app/MainPrint.h"

#include "BuildConfig.h"
#include "app/RunProgressDialog.h"
#include "base/Messages.h"
#include "print/GroupPrint.h"
#include "print/PrintJob.h"
#include "print/PrintOffsets.h"
#include "print/PrintPosition.h"
#include "print/ReceiptCopy.h"
#include "print/ReceiptPrinter.h"
#include "print/ui/ReceiptCopyPdf.h"
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
const QString BadPosition = u"打印位置不正确"_s;
const QString NoPreviewPicture = u"打印服务没有返回图片，无法预览"_s;
const QString NoPrinter = u"没有可用的默认打印机"_s;

QAction *addMenuAction(QMenu *menu, const QString &text, const QString &name,
                       const QKeySequence &shortcut = {}) {
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}
} // namespace

void MainPrint::buildMenuBar() {
    m_menuBar = new QMenuBar(this);
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
    connect(printOne, &QAction::triggered, this, &MainPrint::Command2_Click);
    connect(printAll, &QAction::triggered, this, &MainPrint::printAllPassengers);
    connect(preview, &QAction::triggered, this, &MainPrint::showPrintPreview);
    connect(savePdf, &QAction::triggered, this, &MainPrint::saveReceiptCopy);
    connect(calibration, &QAction::triggered, this, &MainPrint::printCalibrationPage);

    QMenu *records = m_menuBar->addMenu(u"记录(&R)"_s);
    records->setObjectName(u"recordsMenu"_s);
    QAction *journal = addMenuAction(records, u"打印记录…"_s, u"printJournalAction"_s,
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));
    connect(journal, &QAction::triggered, this, &MainPrint::openPrintJournal);

    QMenu *help = m_menuBar->addMenu(u"帮助(&H)"_s);
    help->setObjectName(u"helpMenu"_s);
    QAction *about = addMenuAction(help, u"关于"_s, u"aboutAction"_s);
    connect(about, &QAction::triggered, this, &MainPrint::showAbout);
}

void MainPrint::bindMenus() {
    // While a print is pending nothing else may start on the printer.
    connect(m_printJob.get(), &PrintJob::printEnabledChanged, this, [this](bool enabled) {
        for (QAction *action : std::as_const(m_printActions))
            action->setEnabled(enabled);
    });

    connect(m_groupPrint.get(), &GroupPrint::receiptStarting, this,
            [this](int number, int count, const QString &name) {
                if (m_progress)
                    m_progress->setText(groupPrintProgressText(number, count, name));
            });
    connect(m_groupPrint.get(), &GroupPrint::receiptPrinted, this, [this](int number) {
        if (m_progress)
            m_progress->setDone(number);
    });
    connect(m_groupPrint.get(), &GroupPrint::finished, this, &MainPrint::groupPrintFinished);

    connect(m_copyRun.get(), &ReceiptCopyRun::pageStarting, this,
            [this](int number, int count, const QString &name) {
                if (m_progress) {
                    m_progress->setText(u"正在生成 %1/%2：%3"_s.arg(number).arg(count).arg(name));
                    m_progress->setDone(number - 1);
                }
            });
    connect(m_copyRun.get(), &ReceiptCopyRun::finished, this, &MainPrint::receiptCopyFinished);
}

RunProgressDialog *MainPrint::startProgress(const QString &title, int count) {
    if (m_progress)
        m_progress->finish();
    m_progress = new RunProgressDialog(title, count, this);
    m_progress->show();
    return m_progress;
}

// "全部打印…": every passenger of the list through the print job, one after the other.
void MainPrint::printAllPassengers() {
    if (m_groupPrint->isRunning() || m_copyRun->isRunning() || !m_printJob->printEnabled())
        return;
    RunProgressDialog *progress = startProgress(u"全部打印"_s, PassengerSteps::entryCount(m_sheet));
    connect(progress, &RunProgressDialog::cancelRequested, m_groupPrint.get(), &GroupPrint::cancel);
    blocking([this] { m_groupPrint->start(); });
}

void MainPrint::groupPrintFinished(const StepsOutcome &outcome) {
    if (m_progress)
        m_progress->finish();
    if (outcome.failed)
        m_messages->showMessage(groupPrintFailureMessage(outcome));
    else if (outcome.cancelled)
        m_messages->showMessage(groupPrintCancelledMessage(outcome));
}

std::optional<QPoint> MainPrint::usableOffsetsTwips() {
    const std::optional<int> left = offsetTwips(m_position->leftOffsetMm());
    const std::optional<int> top = offsetTwips(m_position->topOffsetMm());
    if (!left || !top) {
        m_messages->showMessage(BadPosition);
        return std::nullopt;
    }
    return QPoint(*left, *top);
}

// "打印预览…": the picture the service returns for the sheet as it stands, over the form's
// outline at the offsets the printer would use. Nothing is printed or advanced.
void MainPrint::showPrintPreview() {
    const std::optional<QPoint> offsets = usableOffsetsTwips();
    if (!offsets)
        return;
    QByteArray picture;
    blocking([this, &picture] { picture = m_printJob->loadSheetPicture(); });
    const QImage image = QImage::fromData(picture);
    if (image.isNull())
        return m_messages->showMessage(NoPreviewPicture);
    auto *dialog = new ReceiptPreviewDialog(image, m_formLayout, offsets->x() / TwipsPerMillimetre,
                                            offsets->y() / TwipsPerMillimetre, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this](int choice) {
        // Once the dialog is gone: the print and the file dialog are the window's own.
        if (choice == ReceiptPreviewDialog::Print)
            QTimer::singleShot(0, this, &MainPrint::Command2_Click);
        else if (choice == ReceiptPreviewDialog::SaveAsPdf)
            QTimer::singleShot(0, this, &MainPrint::saveReceiptCopy);
    });
    dialog->open();
}

// "另存为PDF…": where to save, and with several passengers whether to take them all.
void MainPrint::saveReceiptCopy() {
    if (m_groupPrint->isRunning() || m_copyRun->isRunning())
        return;
    if (m_copyFolder.isEmpty())
        m_copyFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    auto *dialog = new QFileDialog(this, u"另存为PDF"_s,
                                   QDir(m_copyFolder).filePath(receiptCopyFileName(m_sheet)),
                                   u"PDF 文件 (*.pdf)"_s);
    dialog->setObjectName(u"pdfFileDialog"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(u"pdf"_s);
    // Qt's own dialog, which can hold the choice of passengers.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    QCheckBox *everyPassenger = nullptr;
    if (PassengerSteps::entryCount(m_sheet) > 1) {
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

void MainPrint::writeReceiptCopy(const QString &path, bool everyPassenger) {
    if (m_groupPrint->isRunning() || m_copyRun->isRunning())
        return;
    m_copyPath = path;
    m_copyFolder = QFileInfo(path).absolutePath();
    // Stepping through the list, the window must not take input between two pages.
    if (everyPassenger) {
        RunProgressDialog *progress =
            startProgress(u"另存为PDF"_s, PassengerSteps::entryCount(m_sheet));
        connect(progress, &RunProgressDialog::cancelRequested, m_copyRun.get(),
                &ReceiptCopyRun::cancel);
    }
    blocking([this, everyPassenger] { m_copyRun->start(everyPassenger); });
}

void MainPrint::receiptCopyFinished(const StepsOutcome &outcome) {
    if (m_progress)
        m_progress->finish();
    if (outcome.failed)
        return m_messages->showMessage(receiptCopyFailureMessage(outcome));
    if (outcome.cancelled)
        return;
    QString error;
    if (!saveReceiptCopyPdf(m_copyPath, m_copyRun->pictures(), m_formLayout, &error))
        m_messages->showMessage(u"PDF未保存：%1"_s.arg(error));
}

// "打印校准页": every field's box with its index and the rulers, where the receipt would
// land at the current offsets. No request, no check code.
void MainPrint::printCalibrationPage() {
    if (!m_printJob->printEnabled())
        return;
    const std::optional<QPoint> offsets = usableOffsetsTwips();
    if (!offsets)
        return;
    const QByteArray page = ReceiptRenderer(m_formLayout).calibrationPng();
    if (!m_printer->printPicture(page, offsets->x(), offsets->y()))
        m_messages->showMessage(NoPrinter);
}

// "关于": the program, its version and the rendering service it prints with.
void MainPrint::showAbout() {
    const QString service = m_serviceBase.isEmpty() ? u"（未启动）"_s : m_serviceBase;
    m_messages->showMessage(u"%1\n版本 %2\n打印服务：%3"_s.arg(m_startup.applicationTitle,
                                                               QStringLiteral(ITINERARY_VERSION),
                                                               service),
                            u"关于"_s);
}

} // namespace itinerary
