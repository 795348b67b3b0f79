#include "PrintedPdf.h"
#include "base/Clock.h"
#include "base/Messages.h"
#include "print/PictureLoader.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/ReceiptPictures.h"
#include "print/ui/QtReceiptPrinter.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
using test::PrintDpi;
using test::waitForPdf;

// A receipt-shaped picture (2425 x 1244 pixels, aspect 11640 : 5970), white with one black
// block well inside, so that neither offset pushes it off the page.
const QRect Block(600, 300, 800, 400);
QByteArray receiptPicture() {
    QImage image(2425, 1244, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(Block, Qt::black);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class FixedLoader final : public PictureLoader {
public:
    void loadPicture(const QString &, const QObject *, Done done) override {
        done(receiptPicture());
    }
};

// The bounding box of the dark pixels of the PDF's first page at 300 dpi.
QRect darkBox(const QString &pdf, const QString &scratch) {
    const QList<QImage> pages = test::pdfPages(pdf, scratch);
    return pages.isEmpty() ? QRect() : test::darkBox(pages.first());
}

double twipsToPixels(int twips) {
    return twips * double(PrintDpi) / 1440.0;
}
} // namespace

class TestQtReceiptPrinter final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        // The queue writes into the home directory: take our pages away, passed or not.
        for (const QString &pdf : std::as_const(m_pdfs))
            QFile::remove(pdf);
        m_pdfs.clear();
    }

    void printsAtTheOperatorsOffsets() {
        if (QPrinterInfo::defaultPrinter().isNull())
            QFAIL("no default printer: start CUPS with the PDF queue (scripts/common.sh)");
        Itinerary sheet;
        sheet.setText(Field::RecordCode, u"HX1234"_s);
        sheet.setText(Field::CheckCode, u"0041"_s);
        PrintPosition position;
        FixedLoader loader;
        QtReceiptPrinter printer;
        RecordingMessages messages;
        const FixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)));
        const ReceiptPictures pictures(loader, clock);
        PrintJob job(sheet, position, pictures, printer, messages, clock);

        const QString stem = u"tst_qtreceiptprinter-%1-%2"_s.arg(QCoreApplication::applicationPid())
                                 .arg(QDateTime::currentMSecsSinceEpoch());
        struct Print {
            QString leftOffsetMm;
            QString topOffsetMm;
            QString title;
            QString pdf;
        };
        QList<Print> prints{{u"10"_s, u"-2"_s, stem + u"-moved"_s, QString()},
                            {u"0"_s, u"0"_s, stem + u"-origin"_s, QString()}};
        for (Print &p : prints) {
            position.setLeftOffsetMm(p.leftOffsetMm);
            position.setTopOffsetMm(p.topOffsetMm);
            printer.setJobTitle(p.title);
            job.requestPrint();
            QTRY_VERIFY_WITH_TIMEOUT(job.printEnabled(), 60000);
            QVERIFY2(messages.shown().isEmpty(), qPrintable(messages.shown().value(0).text));
            p.pdf = waitForPdf(p.title);
            QVERIFY2(!p.pdf.isEmpty(), qPrintable(p.title));
            m_pdfs.append(p.pdf);
        }
        QCOMPARE(sheet.text(Field::CheckCode), u"0043"_s);

        QTemporaryDir scratch;
        for (const Print &p : prints) {
            const QString info = test::runTool(u"pdfinfo"_s, {p.pdf});
            QVERIFY2(info.contains(QRegularExpression(u"Pages:\\s+1\\n"_s)), qPrintable(info));
        }
        const QRect moved = darkBox(prints.at(0).pdf, scratch.path());
        const QRect origin = darkBox(prints.at(1).pdf, scratch.path());
        QVERIFY(!moved.isNull());
        QVERIFY(!origin.isNull());
        // 10 mm right is 567 twips, 2 mm up is -113 twips: to a pixel at 300 dpi.
        const double dx = moved.left() - origin.left();
        const double dy = moved.top() - origin.top();
        QVERIFY2(qAbs(dx - twipsToPixels(567)) <= 1.0, qPrintable(QString::number(dx)));
        QVERIFY2(qAbs(dy - twipsToPixels(-113)) <= 1.0, qPrintable(QString::number(dy)));
        // The picture is stretched to 11640 x 5970 twips, so the block keeps its share.
        const double blockWidth = twipsToPixels(ReceiptWidthTwips) * Block.width() / 2425.0;
        const double blockHeight = twipsToPixels(ReceiptHeightTwips) * Block.height() / 1244.0;
        QVERIFY2(qAbs(origin.width() - blockWidth) <= 2.0,
                 qPrintable(QString::number(origin.width())));
        QVERIFY2(qAbs(origin.height() - blockHeight) <= 2.0,
                 qPrintable(QString::number(origin.height())));
        QVERIFY(qAbs(moved.width() - origin.width()) <= 1);
        QVERIFY(qAbs(moved.height() - origin.height()) <= 1);
        qInfo("offset measured %.0f, %.0f px (expected %.2f, %.2f)", dx, dy, twipsToPixels(567),
              twipsToPixels(-113));
    }

    void undecodablePictureIsRefused() {
        QtReceiptPrinter printer;
        QVERIFY(!printer.printPicture("not a picture", 0, 0));
        QVERIFY(!printer.printPicture(QByteArray(), 0, 0));
    }

    // Run by its own test with CUPS_SERVER pointing nowhere.
    void noDefaultPrinterRefusesToPrint() {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a default printer exists here");
        Itinerary sheet;
        sheet.setText(Field::RecordCode, u"HX1234"_s);
        sheet.setText(Field::CheckCode, u"0041"_s);
        PrintPosition position;
        FixedLoader loader;
        QtReceiptPrinter printer;
        QVERIFY(!printer.printPicture(receiptPicture(), 0, 0));
        RecordingMessages messages;
        const FixedClock clock(QDate(2026, 12, 7));
        const ReceiptPictures pictures(loader, clock);
        PrintJob job(sheet, position, pictures, printer, messages, clock);
        job.requestPrint();
        QTRY_VERIFY_WITH_TIMEOUT(job.printEnabled(), 10000);
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(messages.shown().at(0).text, u"没有可用的默认打印机"_s);
        QCOMPARE(sheet.text(Field::CheckCode), u"0041"_s);
    }

private:
    QStringList m_pdfs;
};

QTEST_MAIN(TestQtReceiptPrinter)
#include "tst_qtreceiptprinter.moc"
