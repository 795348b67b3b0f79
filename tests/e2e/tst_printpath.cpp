// The real print path in one process: the sheet, the request on the wire, the embedded
// rendering service, the picture, QPrinter, the CUPS-PDF queue, and the page read back.
#include "PrintedPages.h"
#include "PrintedPdf.h"
#include "render/Ink.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/ReceiptPictures.h"
#include "print/net/NetworkPictureLoader.h"
#include "print/ui/QtReceiptPrinter.h"
#include "render/EmbeddedRenderService.h"
#include "render/ReceiptRenderer.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace itinerary;
using namespace itinerary::test;
using namespace Qt::StringLiterals;

namespace {

// Every printed field holds text; some of it is what a request address cannot carry raw
// ("#", "&", "+", "%", spaces, "/", ":", the "," that separates the values) and Chinese.
void fillSheet(Itinerary &sheet, const QString &ticketNumber) {
    sheet.setText(Field::Name, u"ZHANG,SAN"_s);
    sheet.setText(Field::IdNumber, u"110101199003078515"_s);
    sheet.setText(Field::Endorsement, u"不得签转#1&2+3%25"_s);
    sheet.setText(Field::RecordCode, u"HX4K2M"_s);
    for (int row = 0; row < SegmentRowCount; ++row) {
        sheet.setText(segmentField(row, SegmentColumn::City), u"北京首都 T3"_s);
        sheet.setText(segmentField(row, SegmentColumn::Carrier), u"国航"_s);
        sheet.setText(segmentField(row, SegmentColumn::Flight), u"CA150%1"_s.arg(row));
        sheet.setText(segmentField(row, SegmentColumn::BookingClass), u"Y"_s);
        sheet.setText(segmentField(row, SegmentColumn::Date), u"2026-12-1%1"_s.arg(row));
        sheet.setText(segmentField(row, SegmentColumn::Time), u"08:3%1"_s.arg(row));
        sheet.setText(segmentField(row, SegmentColumn::FareBasis), u"Y/CN"_s);
        sheet.setText(segmentField(row, SegmentColumn::NotValidBefore), u"15DEC"_s);
        sheet.setText(segmentField(row, SegmentColumn::NotValidAfter), u"15DEC"_s);
        sheet.setText(segmentField(row, SegmentColumn::Baggage), u"20K"_s);
    }
    sheet.setText(Field::FinalCity, u"上海虹桥"_s);
    sheet.setText(Field::Fare, u"CNY 1240.00"_s);
    sheet.setText(Field::DevelopmentFund, u"CN 50.00"_s);
    sheet.setText(Field::FuelSurcharge, u"YQ 0.00"_s);
    sheet.setText(Field::OtherTaxes, u"XT 0.00"_s);
    sheet.setText(Field::Total, u"CNY 1290.00"_s);
    sheet.setText(Field::TicketNumber, ticketNumber);
    sheet.setText(Field::CheckCode, u" 0042 "_s);
    sheet.setText(Field::Notice, u"退改 & 签 #2"_s);
    sheet.setText(Field::Insurance, u"XXX"_s);
    sheet.setText(Field::AgentCode, u"08312345"_s);
    sheet.setText(Field::IssuingUnit, u"北京华夏旅行社"_s);
    sheet.setText(Field::IssueDate, u"2026-12-7"_s);
    sheet.setText(Field::CompanyNumber, u"12345678"_s);
}

QString uniqueTicketNumber() {
    const qint64 stamp =
        QCoreApplication::applicationPid() * 100000 + QDateTime::currentMSecsSinceEpoch() % 100000;
    return u"999-%1"_s.arg(stamp % 10000000000LL, 10, 10, QLatin1Char('0'));
}

} // namespace

class TestPrintPath final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        if (!haveDefaultPrinter())
            QFAIL("no default printer: start CUPS with the PDF queue (scripts/common.sh)");
    }

    // What reaches the paper is the renderer's picture of exactly the values on the sheet,
    // placed at the operator's offsets: field by field, the printed box holds as much ink as
    // the picture's box, and there is none outside the boxes.
    void sheetReachesThePaperFieldByField() {
        EmbeddedRenderService service;
        const QUrl base = service.start();
        QVERIFY2(!base.isEmpty(), qPrintable(service.errorString()));

        Itinerary sheet;
        const QString ticket = uniqueTicketNumber();
        fillSheet(sheet, ticket);
        PrintPosition position;
        position.setLeftOffsetMm(u"10"_s);
        position.setTopOffsetMm(u"5"_s);
        NetworkPictureLoader loader;
        QtReceiptPrinter printer;
        printer.setJobTitle(u"tst_printpath "_s + ticket);
        RecordingMessages messages;
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)));
        ReceiptPictures pictures(loader, clock);
        pictures.setPrintUrl(base.toString() + u"Print/print.asp"_s);
        PrintJob job(sheet, position, pictures, printer, messages, clock);

        // The values the request carries.
        QStringList sent;
        for (int i = 0; i < FieldCount; ++i)
            sent.append(trimBlanks(sheet.text(i)));
        job.requestPrint();
        QTRY_VERIFY_WITH_TIMEOUT(job.printEnabled(), 60000);
        QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.shown().value(0).text));
        QCOMPARE(sheet.text(Field::CheckCode), u"0043"_s);

        PdfCleanup cleanup;
        const QString pdf = waitForPdf(u"tst_printpath_"_s + ticket);
        QVERIFY2(!pdf.isEmpty(), qPrintable(ticket));
        cleanup.add(pdf);
        QTemporaryDir scratch;
        const QList<QImage> pages = pdfPages(pdf, scratch.path());
        QCOMPARE(pages.size(), 1);

        const Ink printed(pages.first());
        const Ink expected(ReceiptRenderer(ReceiptLayout::defaultLayout()).render(sent));
        // 10 mm is 567 twips, 5 mm is 283.5, to even 284.
        const QPointF origin = receiptOrigin(567, 284);
        qint64 insideBoxes = 0;
        for (const FieldPlacement &placement : ReceiptLayout::defaultLayout().fields()) {
            const int index = placement.index;
            const qint64 want = expected.inside(ReceiptRenderer::pixelRect(placement.rectMm));
            const qint64 got = printed.inside(fieldBoxOnPage(origin, index, 3));
            insideBoxes += got;
            QVERIFY2(want > 0, qPrintable(u"field %1 is empty on the sheet"_s.arg(index)));
            // Resampling on the way to paper and back moves edges by a pixel or so.
            QVERIFY2(qAbs(got - want) <= want / 5 + 30,
                     qPrintable(u"field %1: %2 dark pixels printed, %3 in the picture"_s.arg(index)
                                    .arg(got)
                                    .arg(want)));
        }
        const qint64 total = printed.total();
        QVERIFY2(
            total - insideBoxes <= total / 100,
            qPrintable(
                u"%1 of %2 dark pixels outside the boxes"_s.arg(total - insideBoxes).arg(total)));
    }
};

QTEST_MAIN(TestPrintPath)
#include "tst_printpath.moc"
