#include "base/Clock.h"
#include "base/Messages.h"
#include "print/GroupPrint.h"
#include "print/PictureLoader.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/ReceiptCopy.h"
#include "print/ReceiptPictures.h"
#include "print/ReceiptPrinter.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <utility>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
const QByteArray Picture = QByteArray("\x89PNG picture bytes", 18);
const QString ServicePrintUrl = u"http://127.0.0.1:8091/Print/print.asp"_s;

// Answers at once, or keeps the answer back until answerNow() when `later`.
class FakeLoader final : public PictureLoader {
public:
    void loadPicture(const QString &address, const QObject *, Done done) override {
        addresses.append(address);
        if (duringLoad)
            duringLoad();
        if (later)
            waiting = std::move(done);
        else
            done(answer);
    }
    void answerNow() { std::exchange(waiting, nullptr)(answer); }
    QByteArray answer = Picture;
    QStringList addresses;
    std::function<void()> duringLoad;
    bool later = false;
    Done waiting;
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
    ReceiptPictures pictures{loader, clock};
    PrintJob job{sheet, position, pictures, printer, messages, clock};

    Bench() {
        pictures.setPrintUrl(ServicePrintUrl);
        sheet.setText(Field::RecordCode, u"HX1234"_s);
        sheet.setText(Field::CheckCode, u"0007"_s);
    }
    // A booking of `entries` passengers (none: no list) with the sheet on entry `shown`, its
    // buttons as navigation left them, or both disabled as a verification import leaves them.
    void setPassengers(int entries, int shown, bool reachable) {
        sheet.setText(Field::Name, u"赵六"_s);
        if (entries == 0)
            return;
        const QStringList names{u"张三"_s, u"李四"_s, u"王五"_s};
        PassengerList list;
        for (int i = 0; i < entries; ++i)
            list.append(Passenger{names.at(i), u"ID%1"_s.arg(i), u"999-%1"_s.arg(i)});
        sheet.setPassengers(list);
        sheet.setCurrentPassenger(qint16(shown));
        if (reachable) {
            sheet.showPassenger(shown);
            sheet.setPreviousEnabled(shown > 0);
            sheet.setNextEnabled(shown < entries - 1);
        }
    }
    // The service answers no picture to the request number `failing` (from 1).
    void failRequest(int failing) {
        loader.duringLoad = [this, failing] {
            loader.answer = loader.addresses.size() == failing ? QByteArray() : Picture;
        };
    }
    // The passenger name (field 0) of every request sent.
    QStringList requestedNames() const {
        QStringList names;
        for (const QString &address : loader.addresses)
            names.append(address.section(u"&p="_s, 1).section(u',', 0, 0));
        return names;
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

    // Until the picture is there nothing is armed, advanced or printed, and neither a second
    // click nor a stray tick starts anything.
    void nothingHappensBeforeThePictureArrives() {
        Bench b;
        b.loader.later = true;
        b.job.requestPrint();
        QVERIFY(b.job.pictureLoading());
        b.job.requestPrint();
        b.job.printArmedReceipt();
        QCOMPARE(b.loader.addresses.size(), 1);
        QVERIFY(b.printer.pages.isEmpty());
        QCOMPARE(b.sheet.text(Field::CheckCode), u"0007"_s);
        QVERIFY(!b.job.printEnabled() && !b.job.printArmed());
        b.loader.answerNow();
        QVERIFY(!b.job.pictureLoading() && b.job.printArmed());
        QCOMPARE(b.sheet.text(Field::CheckCode), u"0008"_s);
    }

    void groupPrintsEveryEntryInTurn_data() {
        QTest::addColumn<int>("entries");      // 0: no passenger list
        QTest::addColumn<int>("shown");        // the entry the sheet shows at the start
        QTest::addColumn<bool>("reachable");   // false: a verification import came after
        QTest::addColumn<int>("failing");      // no picture for this request; 0: none
        QTest::addColumn<int>("cancelDuring"); // "取消" while this receipt prints; 0: never
        QTest::addColumn<QStringList>("requested");
        QTest::addColumn<int>("printed");
        QTest::addColumn<QString>("checkCodeAfter");
        QTest::addColumn<QString>("message");
        const QString noPicture = u"打印服务没有返回图片，未打印"_s;
        const QStringList all{u"张三"_s, u"李四"_s, u"王五"_s};
        // clang-format off
        QTest::newRow("three in turn")      << 3 << 0 << true  << 0 << 0 << all << 3 << u"0010"_s << QString();
        QTest::newRow("back to the first")  << 3 << 2 << true  << 0 << 0 << all << 3 << u"0010"_s << QString();
        QTest::newRow("no list")            << 0 << 0 << true  << 0 << 0 << QStringList{u"赵六"_s} << 1 << u"0008"_s << QString();
        QTest::newRow("one passenger")      << 1 << 0 << true  << 0 << 0 << QStringList{u"张三"_s} << 1 << u"0008"_s << QString();
        QTest::newRow("list out of reach")  << 3 << 1 << false << 0 << 0 << QStringList{u"赵六"_s} << 1 << u"0008"_s << QString();
        QTest::newRow("second fails")       << 3 << 0 << true  << 2 << 0 << all.mid(0, 2) << 1 << u"0008"_s
                                            << noPicture + u"\n李四（第2位）的行程单未打印；已打印 1/3 张。"_s;
        QTest::newRow("first fails")        << 3 << 0 << true  << 1 << 0 << all.mid(0, 1) << 0 << u"0007"_s
                                            << noPicture + u"\n张三（第1位）的行程单未打印；已打印 0/3 张。"_s;
        QTest::newRow("cancel on the first") << 3 << 0 << true << 0 << 1 << all.mid(0, 1) << 1 << u"0008"_s
                                            << u"全部打印已取消：已打印 1/3 张。"_s;
        QTest::newRow("cancel on the last") << 3 << 0 << true  << 0 << 3 << all << 3 << u"0010"_s << QString();
        // clang-format on
    }
    // Each receipt through the job in turn, the sheet showing its entry; the first failure or
    // a cancel ends the run, and the job leaves the message to the window, which names whose
    // receipt it was.
    void groupPrintsEveryEntryInTurn() {
        QFETCH(int, entries);
        QFETCH(int, shown);
        QFETCH(bool, reachable);
        QFETCH(int, failing);
        QFETCH(int, cancelDuring);
        QFETCH(QStringList, requested);
        QFETCH(int, printed);
        QFETCH(QString, checkCodeAfter);
        QFETCH(QString, message);
        Bench b;
        b.setPassengers(entries, shown, reachable);
        b.failRequest(failing);
        GroupPrint group(b.sheet, b.job);
        group.setJobReportsFailures(false);
        QStringList starting;
        connect(&group, &GroupPrint::receiptStarting, &group,
                [&](int number, int count, const QString &name) {
                    starting.append(groupPrintProgressText(number, count, name));
                    QCOMPARE(name, b.sheet.text(Field::Name));
                    if (number == cancelDuring)
                        group.cancel();
                });
        std::optional<StepsOutcome> outcome;
        connect(&group, &GroupPrint::finished, &group,
                [&](const StepsOutcome &ended) { outcome = ended; });
        group.start();
        QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 5000);
        QCOMPARE(b.requestedNames(), requested);
        QCOMPARE(starting.size(), requested.size());
        QCOMPARE(starting.first(),
                 u"正在打印 1/%1：%2"_s.arg(entries > 1 && reachable ? entries : 1)
                     .arg(requested.first()));
        QCOMPARE(b.printer.pages.size(), printed);
        QCOMPARE(outcome->done, printed);
        QCOMPARE(b.sheet.text(Field::CheckCode), checkCodeAfter);
        // The sheet ends on the last entry that went out.
        QCOMPARE(b.sheet.text(Field::Name), requested.last());
        const QString told = outcome->failed      ? groupPrintFailureMessage(*outcome)
                             : outcome->cancelled ? groupPrintCancelledMessage(*outcome)
                                                  : QString();
        QCOMPARE(told, message);
        QVERIFY(b.messages.shown().isEmpty());
        QVERIFY(b.job.printEnabled());
        QVERIFY(b.job.reportsFailures()); // the Print button reports its own failures again
    }

    void copyTakesThePicturesWithoutAdvancing_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<bool>("everyEntry");
        QTest::addColumn<int>("failing");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("every entry")     << 3 << true  << 0 << 3 << u"HX1234-张三.pdf"_s << QString();
        QTest::newRow("the sheet alone") << 3 << false << 0 << 1 << u"HX1234-张三.pdf"_s << QString();
        QTest::newRow("no list")         << 0 << true  << 0 << 1 << u"HX1234-赵六.pdf"_s << QString();
        QTest::newRow("third fails")     << 3 << true  << 3 << 2 << u"HX1234-张三.pdf"_s
                                         << u"打印服务没有返回图片，未保存PDF\n王五（第3位）的行程单没有取得图片。"_s;
        QTest::newRow("alone fails")     << 3 << false << 1 << 0 << u"HX1234-张三.pdf"_s
                                         << u"打印服务没有返回图片，未保存PDF"_s;
        // clang-format on
    }
    // A copy requests what a print requests, entry by entry, and prints and advances nothing.
    void copyTakesThePicturesWithoutAdvancing() {
        QFETCH(int, entries);
        QFETCH(bool, everyEntry);
        QFETCH(int, failing);
        QFETCH(int, pictures);
        QFETCH(QString, fileName);
        QFETCH(QString, message);
        Bench b;
        b.setPassengers(entries, 0, true);
        b.failRequest(failing);
        QCOMPARE(receiptCopyFileName(b.sheet), fileName);
        ReceiptCopyRun copy(b.sheet, b.pictures);
        std::optional<StepsOutcome> outcome;
        connect(&copy, &ReceiptCopyRun::finished, &copy,
                [&](const StepsOutcome &ended) { outcome = ended; });
        copy.start(everyEntry);
        QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 5000);
        QCOMPARE(copy.pictures().size(), pictures);
        QCOMPARE(outcome->failed ? receiptCopyFailureMessage(*outcome) : QString(), message);
        QCOMPARE(b.sheet.text(Field::CheckCode), u"0007"_s);
        QVERIFY(b.printer.pages.isEmpty());
        QVERIFY(b.job.receiptPicture().isEmpty());
    }

    void copyFileNameHoldsNoPathCharacters() {
        Bench b;
        b.sheet.setText(Field::Name, u"zhang/san:*"_s);
        QCOMPARE(receiptCopyFileName(b.sheet), u"HX1234-ZHANG_SAN__.pdf"_s);
        b.sheet.setText(Field::Name, QString());
        b.sheet.setText(Field::RecordCode, QString());
        QCOMPARE(receiptCopyFileName(b.sheet), u"行程单.pdf"_s);
    }
};

QTEST_GUILESS_MAIN(TestPrintJob)
#include "tst_printjob.moc"
