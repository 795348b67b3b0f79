#include "print/GeneralNumber.h"
#include "print/PrintOffsets.h"
#include "print/PrintPosition.h"

#include <QSignalSpy>
#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

class TestPrintNumbers final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parseGeneralNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        // clang-format off
        QTest::newRow("digits")          << u"0042"_s     << true  << 42.0;
        QTest::newRow("blanks around")   << u"  12 "_s    << true  << 12.0;
        QTest::newRow("sign")            << u"-3"_s       << true  << -3.0;
        QTest::newRow("decimal")         << u"2.5"_s      << true  << 2.5;
        QTest::newRow("leading point")   << u".5"_s       << true  << 0.5;
        QTest::newRow("trailing point")  << u"12."_s      << true  << 12.0;
        QTest::newRow("exponent")        << u"1e3"_s      << true  << 1000.0;
        QTest::newRow("empty")           << QString()     << false << 0.0;
        QTest::newRow("blanks only")     << u"   "_s      << false << 0.0;
        QTest::newRow("point only")      << u"."_s        << false << 0.0;
        QTest::newRow("letters")         << u"12a"_s      << false << 0.0;
        QTest::newRow("inner blank")     << u"1 2"_s      << false << 0.0;
        QTest::newRow("tab around")      << u"\t12"_s     << false << 0.0;
        QTest::newRow("bare exponent")   << u"1e"_s       << false << 0.0;
        QTest::newRow("group separator") << u"1,000"_s    << false << 0.0;
        QTest::newRow("infinity word")   << u"inf"_s      << false << 0.0;
        QTest::newRow("hexadecimal")     << u"0x10"_s     << false << 0.0;
        QTest::newRow("overflow")        << u"1e999"_s    << false << 0.0;
        QTest::newRow("full-width")      << u"１２"_s      << false << 0.0;
        // clang-format on
    }
    void parseGeneralNumber() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        const std::optional<double> result = itinerary::parseGeneralNumber(text);
        QCOMPARE(result.has_value(), valid);
        if (valid)
            QCOMPARE(*result, value);
    }

    void formatGeneralNumber_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 13.0 << u"13"_s;
        QTest::newRow("thousand") << 1000.0 << u"1000"_s;
        QTest::newRow("half") << 1.5 << u"1.5"_s;
        QTest::newRow("negative") << -1.0 << u"-1"_s;
        QTest::newRow("zero, not minus zero") << -0.0 << u"0"_s;
        QTest::newRow("fifteen digits") << (0.3 - 1) << u"-0.7"_s;
        QTest::newRow("large") << 1e20 << u"1e+20"_s;
    }
    void formatGeneralNumber() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(itinerary::formatGeneralNumber(value), text);
    }

    void offsetTwips_data() {
        QTest::addColumn<QString>("millimetres");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<int>("twips");
        // clang-format off
        QTest::newRow("10 mm")              << u"10"_s      << true  << 567;
        QTest::newRow("-2 mm")              << u"-2"_s      << true  << -113;
        QTest::newRow("0.5 mm")             << u"0.5"_s     << true  << 28;
        QTest::newRow("zero")               << u"0"_s       << true  << 0;
        QTest::newRow("blanks around")      << u" 3 "_s     << true  << 170;
        QTest::newRow("half to even down")  << u"5"_s       << true  << 284;
        QTest::newRow("half to even up")    << u"15"_s      << true  << 850;
        QTest::newRow("negative half")      << u"-5"_s      << true  << -284;
        QTest::newRow("largest")            << u"577.9"_s   << true  << 32767;
        QTest::newRow("smallest")           << u"-577.9"_s  << true  << -32767;
        QTest::newRow("just beyond")        << u"577.92"_s  << false << 0;
        QTest::newRow("far beyond")         << u"-1000"_s   << false << 0;
        QTest::newRow("empty")              << QString()    << false << 0;
        QTest::newRow("not a number")       << u"abc"_s     << false << 0;
        // clang-format on
    }
    void offsetTwips() {
        QFETCH(QString, millimetres);
        QFETCH(bool, usable);
        QFETCH(int, twips);
        const std::optional<int> result = itinerary::offsetTwips(millimetres);
        QCOMPARE(result.has_value(), usable);
        if (usable)
            QCOMPARE(*result, twips);
    }

    void nudges_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("clicks"); // l r u d
        QTest::addColumn<QString>("leftOffsetMm");
        QTest::addColumn<QString>("topOffsetMm");
        // clang-format off
        QTest::newRow("left from 0")        << u"0"_s     << u"l"_s   << u"-1"_s  << u"0"_s;
        QTest::newRow("right from 0")       << u"0"_s     << u"r"_s   << u"1"_s   << u"0"_s;
        QTest::newRow("left thrice, right") << u"0"_s     << u"lllr"_s << u"-2"_s << u"0"_s;
        QTest::newRow("half")               << u"2.5"_s   << u"l"_s   << u"1.5"_s << u"2.5"_s;
        QTest::newRow("up and down")        << u"0"_s     << u"uud"_s << u"0"_s   << u"-1"_s;
        QTest::newRow("blanks trimmed")     << u" 4 "_s   << u"rd"_s  << u"5"_s   << u"5"_s;
        QTest::newRow("no limits")          << u"577"_s   << u"r"_s   << u"578"_s << u"577"_s;
        QTest::newRow("empty counts as 0")  << QString()  << u"ld"_s  << u"-1"_s  << u"1"_s;
        QTest::newRow("text counts as 0")   << u"abc"_s   << u"r"_s   << u"1"_s   << u"abc"_s;
        QTest::newRow("beyond counts as 0") << u"600"_s   << u"lu"_s  << u"-1"_s  << u"-1"_s;
        QTest::newRow("fifteen digits")     << u"0.3"_s   << u"l"_s   << u"-0.7"_s << u"0.3"_s;
        // clang-format on
    }
    void nudges() {
        QFETCH(QString, start);
        QFETCH(QString, clicks);
        QFETCH(QString, leftOffsetMm);
        QFETCH(QString, topOffsetMm);
        PrintPosition position;
        position.setLeftOffsetMm(start);
        position.setTopOffsetMm(start);
        for (const QChar click : clicks) {
            if (click == u'l')
                position.nudgeLeft();
            else if (click == u'r')
                position.nudgeRight();
            else if (click == u'u')
                position.nudgeUp();
            else
                position.nudgeDown();
        }
        QCOMPARE(position.leftOffsetMm(), leftOffsetMm);
        QCOMPARE(position.topOffsetMm(), topOffsetMm);
    }

    void positionDefaultsAndSignals() {
        PrintPosition position;
        QCOMPARE(position.leftOffsetMm(), u"0"_s);
        QCOMPARE(position.topOffsetMm(), u"0"_s);
        QSignalSpy left(&position, &PrintPosition::leftOffsetMmChanged);
        QSignalSpy top(&position, &PrintPosition::topOffsetMmChanged);
        position.setLeftOffsetMm(u"0"_s); // unchanged: no signal
        position.nudgeRight();
        position.nudgeDown();
        position.nudgeDown();
        QCOMPARE(left.count(), 1);
        QCOMPARE(left.at(0).at(0).toString(), u"1"_s);
        QCOMPARE(top.count(), 2);
        QCOMPARE(top.at(1).at(0).toString(), u"2"_s);
    }
};

QTEST_GUILESS_MAIN(TestPrintNumbers)
#include "tst_printnumbers.moc"
