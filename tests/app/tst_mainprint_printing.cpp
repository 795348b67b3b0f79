// Printing from the window: the sheet goes to the embedded rendering service, the picture
// comes back and reaches the printer at the operator's offsets.
#include "PrintedPdf.h"
#include "TestPaths.h"
#include "WindowControls.h"
#include "app/MainPrint.h"
#include "app/SheetFieldEdit.h"
#include "base/Clock.h"
#include "base/Messages.h"
#include "e2e/PrintedPages.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalTestDatabases.h"
#include "journal/PrintJournal.h"
#include "print/GroupPrint.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/ReceiptPrinter.h"
#include "print/pdf/ReceiptCopyPdf.h"
#include "print/ui/QtReceiptPrinter.h"
#include "print/ui/ReceiptPreviewDialog.h"
#include "render/EmbeddedRenderService.h"
#include "render/Ink.h"
#include "textimport/BookingDisplayImport.h"

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace itinerary;
using namespace itinerary::test;
using namespace Qt::StringLiterals;

namespace {

struct PrintedPage {
    QByteArray picture;
    int leftTwips = 0;
    int topTwips = 0;
};

class RecordingPrinter final : public ReceiptPrinter {
public:
    bool printPicture(const QByteArray &picture, int leftTwips, int topTwips) override {
        pages.append(PrintedPage{picture, leftTwips, topTwips});
        return true;
    }
    QList<PrintedPage> pages;
};

Config printingConfig(const QString &settingsDirectory, const QString &serviceBaseUrl) {
    Config c;
    c.serviceBaseUrl = serviceBaseUrl;
    // No verification site: these windows never start the browser engine.
    c.siteHomeUrl = QString();
    c.captchaUrl = QString();
    c.settingsDirectory = settingsDirectory;
    c.loadTimeoutMs = 5000;
    return c;
}

void importTwoPassengers(MainPrint &w) {
    QFile booking(QStringLiteral(ITINERARY_TEST_DATA_DIR) +
                  u"/bookings/two_passengers_separate_lines.txt"_s);
    QVERIFY(booking.open(QIODevice::ReadOnly));
    RecordingMessages none;
    const FixedClock clock(QDate(2026, 7, 1));
    importBookingDisplay(QString::fromUtf8(booking.readAll()), w.sheet(), none, clock);
    QVERIFY(none.shown().isEmpty());
    QCOMPARE(ui(w).field(0)->text(), u"王小明"_s);
}

// The operator's choice in the menu.
void trigger(MainPrint &w, const QString &action) {
    control<QAction>(w, action)->trigger();
}

// The run's progress dialog while it is open.
QDialog *progressDialog(const MainPrint &w) {
    return w.findChild<QDialog *>(u"runProgress"_s);
}

// The left edge of the receipt's ink in the preview, in the view's pixels.
int previewInkLeft(MainPrint &w) {
    auto *dialog = w.findChild<ReceiptPreviewDialog *>();
    if (dialog == nullptr || !dialog->isVisible())
        return -1;
    const QImage shot = dialog->view()->grab().toImage().convertToFormat(QImage::Format_Grayscale8);
    // The outline and its captions are light; only the receipt's own ink is this dark.
    int left = shot.width();
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < std::min(left, shot.width()); ++x) {
            if (shot.constScanLine(y)[x] < 60)
                left = x;
        }
    }
    return left;
}

// The window's print journal, oldest first: "<check code> <name>" (and " <printer>" when
// known) for each receipt printed, "- <message>" for each attempt that printed nothing.
QStringList journalRows(MainPrint &w) {
    if (!test::waitUntilSent(w.printJournal(), 10000))
        return {u"not sent"_s};
    QString error;
    const std::unique_ptr<JournalDatabase> db = test::openJournal(
        w.printJournal().settings().database, JournalDatabase::Access::ReadOnly, &error);
    if (!db)
        return {error};
    if (!db->hasTables())
        return {};
    QStringList rows;
    for (const JournalEntry &e : db->entries(JournalFilter()).value_or(QList<JournalEntry>()))
        rows << (e.printed
                     ? u"%1 %2 %3"_s.arg(e.checkCode, e.passengerName, e.printerName).trimmed()
                     : u"- "_s + e.message);
    return rows;
}

} // namespace

class TestMainPrintPrinting final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void printsThroughTheEmbeddedServiceAtTheOffsets() {
        QTemporaryDir settings;
        RecordingMessages messages;
        RecordingPrinter printer;
        MainPrint w(printingConfig(settings.path(), QString()),
                    MainPrintSeams{&messages, &printer, nullptr});
        QVERIFY(w.renderService() != nullptr && w.renderService()->isRunning());
        QVERIFY(w.startupValues().printUrl.endsWith(u"/Print/print.asp"_s));
        importTwoPassengers(w);
        w.sheet().setText(35, u"0042"_s);
        ui(w).leftr->setText(u"10"_s);
        Q_EMIT ui(w).leftr->textEdited(u"10"_s);

        QTest::mouseClick(ui(w).Command2, Qt::LeftButton);
        QVERIFY(!ui(w).Command2->isEnabled());
        QTRY_COMPARE(ui(w).field(35)->text(), u"0043"_s);
        QTRY_COMPARE(printer.pages.size(), 1);
        QTRY_VERIFY(ui(w).Command2->isEnabled());
        QVERIFY(messages.shown().isEmpty());

        const QImage picture = QImage::fromData(printer.pages.first().picture);
        QCOMPARE(picture.size(), QSize(2425, 1244));
        QCOMPARE(printer.pages.first().leftTwips, 567);
        QCOMPARE(printer.pages.first().topTwips, 0);
        QVERIFY(!ui(w).Image1->pixmap().isNull());

        // The next passenger prints with the next check code.
        QTest::mouseClick(ui(w).cmdnext, Qt::LeftButton);
        QCOMPARE(ui(w).field(0)->text(), u"李小红"_s);
        QTest::mouseClick(ui(w).Command2, Qt::LeftButton);
        QTRY_COMPARE(printer.pages.size(), 2);
        QCOMPARE(ui(w).field(35)->text(), u"0044"_s);
    }

    void noPictureNoPrintAndTheCheckCodeStays() {
        QTemporaryDir settings;
        RecordingMessages messages;
        RecordingPrinter printer;
        // Nothing listens on the discard port: the service gives no picture.
        MainPrint w(printingConfig(settings.path(), u"http://127.0.0.1:9/"_s),
                    MainPrintSeams{&messages, &printer, nullptr});
        QVERIFY(w.renderService() == nullptr);
        importTwoPassengers(w);
        w.sheet().setText(35, u"0042"_s);
        QTest::mouseClick(ui(w).Command2, Qt::LeftButton);
        QTRY_VERIFY(ui(w).Command2->isEnabled());
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(messages.shown().first().text, u"打印服务没有返回图片，未打印"_s);
        QCOMPARE(ui(w).field(35)->text(), u"0042"_s);
        QTest::qWait(200);
        QVERIFY(printer.pages.isEmpty());
    }

    void printsOnTheDefaultPrinter() {
        QTemporaryDir settings;
        QTemporaryDir scratch;
        RecordingMessages messages;
        QtReceiptPrinter printer;
        const QString title = u"itinerary-window-%1"_s.arg(QDateTime::currentMSecsSinceEpoch());
        printer.setJobTitle(title);
        MainPrint w(printingConfig(settings.path(), QString()),
                    MainPrintSeams{&messages, &printer, nullptr});
        importTwoPassengers(w);
        w.sheet().setText(35, u"0042"_s);
        QTest::mouseClick(ui(w).Command2, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(ui(w).Command2->isEnabled(), 30000);
        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.shown().value(0).text));

        const QString pdf = test::waitForPdf(title);
        QVERIFY2(!pdf.isEmpty(), "no PDF from the CUPS-PDF queue");
        const QList<QImage> pages = test::pdfPages(pdf, scratch.path());
        QFile::remove(pdf);
        QCOMPARE(pages.size(), 1);
        const QRect ink = test::darkBox(pages.first());
        QVERIFY2(!ink.isEmpty(), "the printed page is blank");
        // The receipt is 11640 x 5970 twips from the printable area's corner: its text lies
        // within that box.
        QVERIFY(ink.right() < 11640 * test::PrintDpi / 1440 + 200);
        QVERIFY(ink.bottom() < 5970 * test::PrintDpi / 1440 + 200);
    }

    // "全部打印…" from the second passenger shown: back to the first, one receipt each on
    // the default printer, the check code advancing once per receipt.
    void printsEveryPassengerOnTheQueue() {
        QTemporaryDir settings;
        RecordingMessages messages;
        QtReceiptPrinter printer;
        MainPrint w(printingConfig(settings.path(), QString()),
                    MainPrintSeams{&messages, &printer, nullptr});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        importTwoPassengers(w);
        QTest::mouseClick(ui(w).cmdnext, Qt::LeftButton);
        w.sheet().setText(35, u"0042"_s);
        const QString stamp = u"itinerary-group-%1"_s.arg(QDateTime::currentMSecsSinceEpoch());
        QStringList progress;
        // Each receipt's job is titled with its number and the check code it carries.
        connect(&w.groupPrint(), &GroupPrint::receiptStarting, &w, [&](int number) {
            printer.setJobTitle(u"%1-%2-%3"_s.arg(stamp).arg(number).arg(w.sheet().text(35)));
            progress.append(control<QLabel>(*progressDialog(w), u"progressText"_s)->text());
            QCOMPARE(progressDialog(w)->windowTitle(), u"全部打印"_s);
        });
        trigger(w, u"printAllAction"_s);
        QTRY_VERIFY_WITH_TIMEOUT(progressDialog(w) == nullptr, 60000);
        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.shown().value(0).text));
        QCOMPARE(progress, QStringList({u"正在打印 1/2：王小明"_s, u"正在打印 2/2：李小红"_s}));
        QCOMPARE(ui(w).field(35)->text(), u"0044"_s);
        QCOMPARE(ui(w).field(0)->text(), u"李小红"_s);
        QVERIFY(ui(w).Command2->isEnabled() && w.isEnabled());
        // Each receipt of the group leaves its row, as from "打印".
        const QString queue = QPrinterInfo::defaultPrinterName();
        QCOMPARE(journalRows(w),
                 QStringList({u"0042 王小明 "_s + queue, u"0043 李小红 "_s + queue}));

        test::PdfCleanup cleanup;
        QList<QImage> pages;
        for (int number = 1; number <= 2; ++number) {
            QTemporaryDir scratch;
            const QString pdf =
                test::waitForPdf(u"%1-%2-004%3"_s.arg(stamp).arg(number).arg(1 + number));
            QVERIFY2(!pdf.isEmpty(), "a receipt of the group is missing");
            cleanup.add(pdf);
            const QList<QImage> printed = test::pdfPages(pdf, scratch.path());
            QCOMPARE(printed.size(), 1);
            pages.append(printed.first());
        }
        const QPointF origin = test::receiptOrigin(0, 0);
        const auto crop = [&](int page, int field) {
            return pages.at(page).copy(test::fieldBoxOnPage(origin, field, 3));
        };
        for (int field : {0, 34, 35}) {
            QVERIFY(test::Ink(crop(0, field)).total() > 40);
            QVERIFY2(crop(0, field) != crop(1, field), qPrintable(QString::number(field)));
        }
        QVERIFY(crop(0, 3) == crop(1, 3)); // the same booking on both
    }

    // "取消" stops the run once the receipt in progress has printed; the window says so.
    void cancelStopsAfterTheReceiptInProgress() {
        QTemporaryDir settings;
        RecordingMessages messages;
        RecordingPrinter printer;
        MainPrint w(printingConfig(settings.path(), QString()),
                    MainPrintSeams{&messages, &printer, nullptr});
        importTwoPassengers(w);
        w.sheet().setText(35, u"0042"_s);
        connect(&w.groupPrint(), &GroupPrint::receiptStarting, &w, [&] {
            QTest::mouseClick(control<QPushButton>(*progressDialog(w), u"progressCancel"_s),
                              Qt::LeftButton);
        });
        trigger(w, u"printAllAction"_s);
        QTRY_COMPARE(messages.shown().size(), 1);
        QCOMPARE(messages.shown().first().text, u"全部打印已取消：已打印 1/2 张。"_s);
        QCOMPARE(printer.pages.size(), 1);
        QCOMPARE(ui(w).field(35)->text(), u"0043"_s);
        QCOMPARE(ui(w).field(0)->text(), u"王小明"_s);
        QTRY_VERIFY(progressDialog(w) == nullptr);
        QCOMPARE(journalRows(w), QStringList({u"0042 王小明"_s}));
    }

    // The preview shows the service's picture moved by the offsets, prints and advances
    // nothing, and its "打印" prints through the job.
    void previewShowsTheReceiptAtTheOffsets() {
        QTemporaryDir settings;
        RecordingMessages messages;
        RecordingPrinter printer;
        MainPrint w(printingConfig(settings.path(), QString()),
                    MainPrintSeams{&messages, &printer, nullptr});
        w.show();
        importTwoPassengers(w);
        w.sheet().setText(35, u"0042"_s);
        trigger(w, u"previewAction"_s);
        QTRY_VERIFY(w.findChild<ReceiptPreviewDialog *>() != nullptr);
        auto *dialog = w.findChild<ReceiptPreviewDialog *>();
        QCOMPARE(dialog->windowTitle(), u"打印预览"_s);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        const int leftAtZero = previewInkLeft(w);
        QTest::mouseClick(control<QPushButton>(*dialog, u"previewClose"_s), Qt::LeftButton);
        QTRY_VERIFY(w.findChild<ReceiptPreviewDialog *>() == nullptr);

        w.printPosition().setLeftOffsetMm(u"10"_s);
        trigger(w, u"previewAction"_s);
        QTRY_VERIFY(w.findChild<ReceiptPreviewDialog *>() != nullptr);
        dialog = w.findChild<ReceiptPreviewDialog *>();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        // 10 mm at the preview's 5 pixels to the millimetre.
        QVERIFY2(qAbs(previewInkLeft(w) - leftAtZero - 50) <= 2,
                 qPrintable(u"%1 -> %2"_s.arg(leftAtZero).arg(previewInkLeft(w))));
        if (qEnvironmentVariableIsSet("ITINERARY_PREVIEW_SCREENSHOT"))
            dialog->grab().save(qEnvironmentVariable("ITINERARY_PREVIEW_SCREENSHOT"));
        QVERIFY(printer.pages.isEmpty());
        QCOMPARE(ui(w).field(35)->text(), u"0042"_s);
        QCOMPARE(journalRows(w), QStringList());

        QTest::mouseClick(control<QPushButton>(*dialog, u"previewPrint"_s), Qt::LeftButton);
        QTRY_COMPARE(printer.pages.size(), 1);
        QCOMPARE(printer.pages.first().leftTwips, 567);
        QCOMPARE(ui(w).field(35)->text(), u"0043"_s);
        QVERIFY(w.findChild<ReceiptPreviewDialog *>() == nullptr);
        QVERIFY(messages.shown().isEmpty());
        QCOMPARE(journalRows(w), QStringList({u"0042 王小明"_s}));
    }

    // "另存为PDF…" with "全部旅客": a page per passenger, the outline's captions and the copy
    // mark as text, the receipt's ink in its boxes, and no check code spent.
    void savesACopyOfEveryPassenger() {
        QTemporaryDir settings;
        QTemporaryDir scratch;
        RecordingMessages messages;
        MainPrint w(printingConfig(settings.path(), QString()),
                    MainPrintSeams{&messages, nullptr, nullptr});
        importTwoPassengers(w);
        w.sheet().setText(35, u"0042"_s);
        trigger(w, u"savePdfAction"_s);
        auto *files = w.findChild<QFileDialog *>(u"pdfFileDialog"_s);
        QVERIFY(files != nullptr);
        QVERIFY(files->selectedFiles().value(0).endsWith(u"/JX8K2P-王小明.pdf"_s));
        const QString path = scratch.filePath(u"copy.pdf"_s);
        files->selectFile(path);
        control<QCheckBox>(*files, u"everyPassenger"_s)->setChecked(true);
        static_cast<QDialog *>(files)->accept();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(path), 20000);
        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.shown().value(0).text));
        QCOMPARE(ui(w).field(35)->text(), u"0042"_s);
        QCOMPARE(ui(w).field(0)->text(), u"李小红"_s);
        QCOMPARE(journalRows(w), QStringList()); // a copy is no printed receipt

        const QString info = test::runTool(u"pdfinfo"_s, {path});
        QVERIFY2(info.contains(u"Pages:           2"_s), qPrintable(info));
        QVERIFY2(info.contains(u"842 x 595 pts (A4)"_s), qPrintable(info));
        const QString text =
            test::runTool(u"pdftotext"_s, {path, u"-"_s}).normalized(QString::NormalizationForm_KC);
        for (const QString &expected : {CopyMark.toString(), u"旅客姓名"_s, u"有效截止日期"_s})
            QVERIFY2(text.contains(expected), qPrintable(expected));
        const QList<QImage> pages = test::pdfPages(path, scratch.path());
        QCOMPARE(pages.size(), 2);
        // The receipt at its printed size in the middle of the A4 page.
        const QPointF origin((297 - ReceiptWidthMm) / 2 / 25.4 * test::PrintDpi,
                             (210 - ReceiptHeightMm) / 2 / 25.4 * test::PrintDpi);
        const test::Ink ink(pages.at(1));
        QVERIFY(ink.inside(test::fieldBoxOnPage(origin, 0, 0)) > 40);
        QVERIFY(ink.inside(test::fieldBoxOnPage(origin, 3, 0)) > 40);
        QCOMPARE(ink.inside(test::fieldBoxOnPage(origin, 36, -2)), 0);
    }

    // The calibration page lands at the offsets on the default printer: its rulers start at
    // the receipt's corner; nothing is requested, no check code spent.
    void calibrationPageLandsAtTheOffsets() {
        QTemporaryDir settings;
        QTemporaryDir scratch;
        RecordingMessages messages;
        QtReceiptPrinter printer;
        const QString title =
            u"itinerary-calibration-%1"_s.arg(QDateTime::currentMSecsSinceEpoch());
        printer.setJobTitle(title);
        MainPrint w(printingConfig(settings.path(), QString()),
                    MainPrintSeams{&messages, &printer, nullptr});
        w.sheet().setText(35, u"0042"_s);
        w.printPosition().setLeftOffsetMm(u"10"_s);
        w.printPosition().setTopOffsetMm(u"5"_s);
        trigger(w, u"calibrationAction"_s);
        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.shown().value(0).text));
        const QString pdf = test::waitForPdf(title);
        test::PdfCleanup cleanup;
        cleanup.add(pdf);
        const QList<QImage> pages = test::pdfPages(pdf, scratch.path());
        QCOMPARE(pages.size(), 1);
        const QRect ink = test::darkBox(pages.first());
        const QPointF origin = test::receiptOrigin(567, 284);
        QVERIFY2((ink.topLeft() - origin.toPoint()).manhattanLength() <= 4,
                 qPrintable(u"%1,%2"_s.arg(ink.left()).arg(ink.top())));
        // The full height; on A4 the printable area cuts the right end off.
        QVERIFY2(qAbs(ink.height() - 1244) <= 4 && ink.width() > 2200,
                 qPrintable(u"%1 x %2"_s.arg(ink.width()).arg(ink.height())));
        QVERIFY(test::Ink(pages.first()).inside(test::fieldBoxOnPage(origin, 0, 0)) > 100);
        QCOMPARE(ui(w).field(35)->text(), u"0042"_s);
        QCOMPARE(journalRows(w), QStringList());
    }
};

QTEST_MAIN(TestMainPrintPrinting)
#include "tst_mainprint_printing.moc"
