// Printing from the window: the sheet goes to the embedded rendering service, the picture
// comes back and reaches the printer at the operator's offsets.
#include "PrintedPdf.h"
#include "TestPaths.h"
#include "WindowControls.h"
#include "app/MainPrint.h"
#include "app/SheetFieldEdit.h"
#include "base/Clock.h"
#include "base/Messages.h"
#include "print/PrintJob.h"
#include "print/ReceiptPrinter.h"
#include "print/ui/QtReceiptPrinter.h"
#include "render/EmbeddedRenderService.h"
#include "textimport/BookingDisplayImport.h"

#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
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
        QCOMPARE(ui(w).field(35)->text(), u"0043"_s);
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
};

QTEST_MAIN(TestMainPrintPrinting)
#include "tst_mainprint_printing.moc"
