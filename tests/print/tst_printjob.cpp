#include "base/Clock.h"
#include "base/Messages.h"
#include "print/PictureLoader.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/ReceiptPrinter.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
const QByteArray Picture = QByteArray("\x89PNG picture bytes", 18);
const QString ServicePrintUrl = u"http://127.0.0.1:8091/Print/print.asp"_s;

class FakeLoader final : public PictureLoader {
public:
    QByteArray loadPicture(const QString &address) override {
        addresses.append(address);
        if (duringLoad)
            duringLoad();
        return answer;
    }
    QByteArray answer = Picture;
    QStringList addresses;
    std::function<void()> duringLoad;
};

class FakePrinter final : public ReceiptPrinter {
public:
    struct Page {
        QByteArray picture;
        int left = 0;
        int top = 0;
    };
    bool printPicture(const QByteArray &picture, int leftTwips, int topTwips) override {
        if (!available)
            return false;
        pages.append(Page{picture, leftTwips, topTwips});
        return true;
    }
    bool available = true;
    QList<Page> pages;
};

// One window's worth of print job and its doubles.
struct Bench {
    Itinerary sheet;
    PrintPosition position;
    FakeLoader loader;
    FakePrinter printer;
    RecordingMessages messages;
    FixedClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3))};
    PrintJob job{sheet, position, loader, printer, messages, clock};

    Bench() {
        job.setPrintUrl(ServicePrintUrl);
        sheet.setText(Field::RecordCode, u"HX1234"_s);
        sheet.setText(Field::CheckCode, u"0007"_s);
    }
    QStringList shownTexts() const {
        QStringList texts;
        for (const RecordingMessages::Shown &shown : messages.shown())
            texts.append(shown.text);
        return texts;
    }
};
} // namespace

class TestPrintJob final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void checkCodeAdvancesForAPrintedPicture_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        // clang-format off
        QTest::newRow("0007")                   << u"0007"_s     << u"0008"_s;
        QTest::newRow("12")                     << u"12"_s       << u"0013"_s;
        QTest::newRow("0999")                   << u"0999"_s     << u"1000"_s;
        QTest::newRow("9999 wraps to 0000")     << u"9999"_s     << u"0000"_s;
        QTest::newRow("0100, spaces around")    << u" 0100 "_s   << u"0101"_s;
        QTest::newRow("0042, spaces around")    << u"  0042  "_s << u"0043"_s;
        QTest::newRow("full-width digits")      << u"０１２３"_s  << u"0124"_s;
        QTest::newRow("exponent")               << u"1e3"_s      << u"1001"_s;
        QTest::newRow("five characters cut")    << u"10000"_s    << u"1000"_s;
        QTest::newRow("six characters")         << u"99999"_s    << QString();
        QTest::newRow("fraction")               << u"12.5"_s     << u"13.5"_s;
        QTest::newRow("negative")               << u"-5"_s       << u"00-4"_s;
        // clang-format on
    }
    void checkCodeAdvancesForAPrintedPicture() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        Bench b;
        b.sheet.setText(Field::CheckCode, before);
        b.job.requestPrint();
        QCOMPARE(b.loader.addresses.size(), 1);
        QVERIFY(b.job.printArmed());
        QVERIFY(!b.job.printEnabled());
        QCOMPARE(b.sheet.text(Field::CheckCode), after); // advanced before the print
        b.job.printArmedReceipt();
        QCOMPARE(b.printer.pages.size(), 1);
        QCOMPARE(b.sheet.text(Field::CheckCode), after);
        QVERIFY(b.job.printEnabled());
        QVERIFY(b.messages.shown().isEmpty());
    }

    void nothingIsSentWhenTheJobCannotStart_data() {
        QTest::addColumn<QString>("recordCode");
        QTest::addColumn<QString>("checkCode");
        QTest::addColumn<QString>("leftOffsetMm");
        QTest::addColumn<QString>("topOffsetMm");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("no record code")          << QString()    << u"0007"_s << u"0"_s   << u"0"_s   << u"请填写PNR"_s;
        QTest::newRow("record code of blanks")   << u"   "_s     << u"0007"_s << u"0"_s   << u"0"_s   << u"请填写PNR"_s;
        QTest::newRow("no check code")           << u"HX1"_s     << QString() << u"0"_s   << u"0"_s   << u"请填写验证码!"_s;
        QTest::newRow("check code of blanks")    << u"HX1"_s     << u"   "_s  << u"0"_s   << u"0"_s   << u"请填写验证码!"_s;
        QTest::newRow("check code not numeric")  << u"HX1"_s     << u"12A"_s  << u"0"_s   << u"0"_s   << u"验证码不正确"_s;
        QTest::newRow("check code with a tab")   << u"HX1"_s     << u"\t12"_s << u"0"_s   << u"0"_s   << u"验证码不正确"_s;
        QTest::newRow("record code checked first") << QString()  << QString() << QString() << u"x"_s  << u"请填写PNR"_s;
        QTest::newRow("empty left offset")             << u"HX1"_s     << u"0007"_s << QString() << u"0"_s  << u"打印位置不正确"_s;
        QTest::newRow("top offset not a number")       << u"HX1"_s     << u"0007"_s << u"0"_s   << u"up"_s  << u"打印位置不正确"_s;
        QTest::newRow("left offset beyond the range")  << u"HX1"_s     << u"0007"_s << u"578"_s << u"0"_s   << u"打印位置不正确"_s;
        QTest::newRow("top offset beyond the range")   << u"HX1"_s     << u"0007"_s << u"0"_s   << u"-578"_s << u"打印位置不正确"_s;
        // clang-format on
    }
    void nothingIsSentWhenTheJobCannotStart() {
        QFETCH(QString, recordCode);
        QFETCH(QString, checkCode);
        QFETCH(QString, leftOffsetMm);
        QFETCH(QString, topOffsetMm);
        QFETCH(QString, message);
        Bench b;
        b.sheet.setText(Field::RecordCode, recordCode);
        b.sheet.setText(Field::CheckCode, checkCode);
        b.position.setLeftOffsetMm(leftOffsetMm);
        b.position.setTopOffsetMm(topOffsetMm);
        const QString codeBefore = b.sheet.text(Field::CheckCode);
        QSignalSpy enabled(&b.job, &PrintJob::printEnabledChanged);
        b.job.requestPrint();
        QCOMPARE(b.shownTexts(), QStringList{message});
        QVERIFY(b.loader.addresses.isEmpty());
        QVERIFY(!b.job.printArmed());
        QCOMPARE(b.sheet.text(Field::CheckCode), codeBefore);
        QVERIFY(b.job.printEnabled());
        // Disabled on the click, enabled again once the message is gone.
        QCOMPARE(enabled.count(), 2);
        QCOMPARE(enabled.at(0).at(0).toBool(), false);
        QCOMPARE(enabled.at(1).at(0).toBool(), true);
    }

    void noPictureNoPrintAndTheCheckCodeStays() {
        Bench b;
        b.job.requestPrint(); // a first job leaves a picture behind
        b.job.printArmedReceipt();
        QVERIFY(!b.job.receiptPicture().isEmpty());
        b.loader.answer.clear();
        b.job.requestPrint();
        QCOMPARE(b.loader.addresses.size(), 2);
        QCOMPARE(b.shownTexts(), QStringList{u"打印服务没有返回图片，未打印"_s});
        QVERIFY(b.job.receiptPicture().isEmpty());
        QVERIFY(!b.job.printArmed());
        QCOMPARE(b.sheet.text(Field::CheckCode), u"0008"_s);
        QVERIFY(b.job.printEnabled());
        QCOMPARE(b.printer.pages.size(), 1);
    }

    void requestCarriesTheSheetAndTheTime() {
        Bench b;
        for (int i = 0; i < FieldCount; ++i)
            b.sheet.setText(i, QString());
        b.sheet.setText(Field::RecordCode, u"hx1234"_s);
        b.sheet.setText(Field::CheckCode, u" 0042"_s);
        b.sheet.setIntlFlag(1);
        b.job.requestPrint();
        const QString fields =
            u",,,HX1234,HX1234"_s + QString(31, u',') + u"0042"_s + QString(23, u',');
        QCOMPARE(fields.count(u','), 58);
        QCOMPARE(b.loader.addresses,
                 QStringList{ServicePrintUrl + u"?l=1&p="_s + fields + u"&2026/12/7 9:05:03"_s});
    }

    void printLandsWhereTheOffsetsAreAtTheTick() {
        Bench b;
        b.position.setLeftOffsetMm(u"1"_s);
        b.position.setTopOffsetMm(u"1"_s);
        b.job.requestPrint();
        b.position.setLeftOffsetMm(u"10"_s); // moved between the request and the tick
        b.position.setTopOffsetMm(u"-2"_s);
        b.job.printArmedReceipt();
        QCOMPARE(b.printer.pages.size(), 1);
        QCOMPARE(b.printer.pages.at(0).picture, Picture);
        QCOMPARE(b.printer.pages.at(0).left, 567);
        QCOMPARE(b.printer.pages.at(0).top, -113);
    }

    void unusableOffsetAtTheTickPutsTheCheckCodeBack_data() {
        QTest::addColumn<QString>("leftOffsetMm");
        QTest::addColumn<QString>("topOffsetMm");
        QTest::newRow("left offset emptied") << QString() << u"0"_s;
        QTest::newRow("top offset beyond") << u"0"_s << u"600"_s;
    }
    void unusableOffsetAtTheTickPutsTheCheckCodeBack() {
        QFETCH(QString, leftOffsetMm);
        QFETCH(QString, topOffsetMm);
        Bench b;
        b.sheet.setText(Field::CheckCode, u" 0041 "_s);
        b.job.requestPrint();
        QCOMPARE(b.sheet.text(Field::CheckCode), u"0042"_s);
        b.position.setLeftOffsetMm(leftOffsetMm);
        b.position.setTopOffsetMm(topOffsetMm);
        b.job.printArmedReceipt();
        QCOMPARE(b.shownTexts(), QStringList{u"打印位置不正确"_s});
        QVERIFY(b.printer.pages.isEmpty());
        QCOMPARE(b.sheet.text(Field::CheckCode), u" 0041 "_s);
        QVERIFY(!b.job.printArmed());
        QVERIFY(b.job.printEnabled());
    }

    void noPrinterIsToldAndTheCheckCodeIsPutBack() {
        Bench b;
        b.printer.available = false;
        b.job.requestPrint();
        b.job.printArmedReceipt();
        QCOMPARE(b.shownTexts(), QStringList{u"没有可用的默认打印机"_s});
        QCOMPARE(b.sheet.text(Field::CheckCode), u"0007"_s);
        QVERIFY(b.job.printEnabled());
    }

    void timerPrintsOnceAboutATenthOfASecondLater() {
        Bench b;
        QElapsedTimer elapsed;
        elapsed.start();
        b.job.requestPrint();
        QCOMPARE(b.job.findChild<QTimer *>(u"printDelay"_s)->interval(), 100);
        QVERIFY(b.printer.pages.isEmpty()); // nothing before the event loop runs
        QTRY_VERIFY_WITH_TIMEOUT(b.job.printEnabled(), 5000);
        QVERIFY(elapsed.elapsed() >= 100);
        QCOMPARE(b.printer.pages.size(), 1);
        QTest::qWait(250);
        QCOMPARE(b.printer.pages.size(), 1); // one request prints once
        QVERIFY(!b.job.printArmed());
    }

    void secondClickWhileArmedIsIgnored() {
        Bench b;
        b.job.requestPrint();
        b.job.requestPrint();
        QCOMPARE(b.loader.addresses.size(), 1);
        QCOMPARE(b.sheet.text(Field::CheckCode), u"0008"_s);
        b.job.printArmedReceipt();
        b.job.printArmedReceipt(); // a stray tick prints nothing more
        QCOMPARE(b.printer.pages.size(), 1);
        b.job.requestPrint();
        QCOMPARE(b.loader.addresses.size(), 2);
        QCOMPARE(b.sheet.text(Field::CheckCode), u"0009"_s);
    }

    void droppedPrintNeverPrints() {
        Bench b;
        b.job.requestPrint();
        b.job.dropArmedPrint();
        QVERIFY(!b.job.printArmed());
        QTest::qWait(200);
        QVERIFY(b.printer.pages.isEmpty());
        QVERIFY(b.messages.shown().isEmpty());
    }

    void buttonStaysDisabledDuringTheLoad() {
        Bench b;
        bool enabledDuringLoad = true;
        b.loader.duringLoad = [&] { enabledDuringLoad = b.job.printEnabled(); };
        b.job.requestPrint();
        QVERIFY(!enabledDuringLoad);
    }
};

QTEST_GUILESS_MAIN(TestPrintJob)
#include "tst_printjob.moc"
