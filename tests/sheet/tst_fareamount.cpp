#include "sheet/FareAmount.h"
#include "sheet/TextRules.h"

#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

class TestFareAmount final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsAwkwardNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        // clang-format off
        QTest::newRow("plain")                << u"1200"_s           << 1200.0;
        QTest::newRow("prefix letters vanish")<< u"CNY 1130.00"_s    << 1130.0;
        QTest::newRow("other prefix")         << u"YQ 50"_s          << 50.0;
        QTest::newRow("thousands separator")  << u"CNY 1,200.00"_s   << 1200.0;
        QTest::newRow("two separators")       << u"1,234,567"_s      << 1234567.0;
        QTest::newRow("not a group of three") << u"1,2345"_s         << 1.0;
        QTest::newRow("group of two")         << u"12,34"_s          << 12.0;
        QTest::newRow("other letters stop")   << u"RMB1200"_s        << 0.0;
        QTest::newRow("lower case kept")      << u"cny5"_s           << 0.0;
        QTest::newRow("empty")                << QString()            << 0.0;
        QTest::newRow("only prefix")          << u"CNY "_s           << 0.0;
        QTest::newRow("blanks inside")        << u"1 2\t3\n4"_s      << 1234.0;
        QTest::newRow("negative")             << u"-12.5"_s          << -12.5;
        QTest::newRow("sign then blank")      << u"- 3"_s            << -3.0;
        QTest::newRow("plus sign")            << u"+7"_s             << 7.0;
        QTest::newRow("leading point")        << u".5"_s             << 0.5;
        QTest::newRow("second point stops")   << u"1.2.3"_s          << 1.2;
        QTest::newRow("exponent E")           << u"1E3"_s            << 1000.0;
        QTest::newRow("exponent D")           << u"25D-1"_s          << 2.5;
        QTest::newRow("dangling exponent")    << u"12E"_s            << 12.0;
        QTest::newRow("overflow reads as 0")  << u"1E999"_s          << 0.0;
        QTest::newRow("hexadecimal")          << u"&H1A"_s           << 26.0;
        QTest::newRow("hex F is a prefix letter") << u"&HFF"_s       << 0.0;
        QTest::newRow("hex without digits")   << u"&H"_s             << 0.0;
        QTest::newRow("chinese stops")        << u"12元"_s           << 12.0;
        QTest::newRow("full-width digits")    << u"１２"_s            << 0.0;
        QTest::newRow("CR is not skipped")    << u"1\r2"_s           << 1.0;
        QTest::newRow("double sign")          << u"--1"_s            << 0.0;
        // clang-format on
    }
    void readsAwkwardNumbers() {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(parseFareAmount(text), value);
    }

    void formatsTwoDecimalsHalfAwayFromZero_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 1200.0 << u"1200.00"_s;
        QTest::newRow("exact half") << 0.125 << u"0.13"_s;
        QTest::newRow("negative half") << -0.125 << u"-0.13"_s;
        QTest::newRow("typed 1.005") << 1.005 << u"1.01"_s;
        QTest::newRow("below half") << 2.344 << u"2.34"_s;
        QTest::newRow("carry") << 9.995 << u"10.00"_s;
        QTest::newRow("zero") << 0.0 << u"0.00"_s;
        QTest::newRow("tiny negative") << -0.001 << u"0.00"_s;
        QTest::newRow("fraction only") << 0.5 << u"0.50"_s;
        QTest::newRow("large") << 1e15 << u"1000000000000000.00"_s;
    }
    void formatsTwoDecimalsHalfAwayFromZero() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(formatTwoDecimals(value), text);
    }

    void formatsDecimalText_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << u"50"_s << u"50.00"_s;
        QTest::newRow("one decimal") << u"50.0"_s << u"50.00"_s;
        QTest::newRow("kept decimals") << u"10.50"_s << u"10.50"_s;
        QTest::newRow("leading zeros") << u"007.1"_s << u"7.10"_s;
        QTest::newRow("round up") << u"10.505"_s << u"10.51"_s;
        QTest::newRow("round down") << u"10.504999"_s << u"10.50"_s;
        QTest::newRow("carry through") << u"99.995"_s << u"100.00"_s;
        QTest::newRow("not a number") << u"EXEMPT"_s << u"EXEMPT"_s;
        QTest::newRow("trailing point") << u"5."_s << u"5."_s;
    }
    void formatsDecimalText() {
        QFETCH(QString, number);
        QFETCH(QString, text);
        QCOMPARE(formatDecimalText(number), text);
    }

    void upperCaseKeepsLength_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("upper");
        QTest::newRow("ascii") << u"abc1"_s << u"ABC1"_s;
        QTest::newRow("sharp s stays") << u"straße"_s << u"STRAßE"_s;
        QTest::newRow("full-width") << u"ａｂ"_s << u"ＡＢ"_s;
        QTest::newRow("chinese") << u"张三abc"_s << u"张三ABC"_s;
        QTest::newRow("astral") << u"\U00010428x"_s << u"\U00010400X"_s;
    }
    void upperCaseKeepsLength() {
        QFETCH(QString, text);
        QFETCH(QString, upper);
        QCOMPARE(toUpperSimple(text), upper);
    }
};

QTEST_GUILESS_MAIN(TestFareAmount)
#include "tst_fareamount.moc"
