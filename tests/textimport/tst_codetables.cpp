#include "base/Clock.h"
#include "textimport/CodeTables.h"
#include "textimport/DateConversion.h"

#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

class TestCodeTables final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void airportCityNames_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("city");
        // clang-format off
        QTest::newRow("first row")          << u"AKU"_s  << u"阿克苏"_s;
        QTest::newRow("last row, city code") << u"BJS"_s << u"北京首都"_s;
        QTest::newRow("PEK is the city")    << u"PEK"_s  << u"北京"_s;
        QTest::newRow("lower case")         << u"pek"_s  << u"北京"_s;
        QTest::newRow("mixed case")         << u"pVg"_s  << u"上海浦东"_s;
        QTest::newRow("SHA airport name")   << u"SHA"_s  << u"上海虹桥"_s;
        QTest::newRow("WUH")                << u"WUH"_s  << u"武汉天河"_s;
        QTest::newRow("XIY")                << u"XIY"_s  << u"西安咸阳"_s;
        QTest::newRow("JHG")                << u"JHG"_s  << u"西双版纳"_s;
        QTest::newRow("NDG")                << u"NDG"_s  << u"齐齐哈尔"_s;
        QTest::newRow("HET")                << u"HET"_s  << u"呼和浩特"_s;
        QTest::newRow("ZYI")                << u"ZYI"_s  << u"遵义"_s;
        QTest::newRow("unknown")            << u"LAX"_s  << QString();
        QTest::newRow("leading blank")      << u" PEK"_s << QString();
        QTest::newRow("trailing blank")     << u"PEK "_s << QString();
        QTest::newRow("two letters")        << u"PE"_s   << QString();
        QTest::newRow("empty")              << QString() << QString();
        QTest::newRow("full-width letters") << u"ＰＥＫ"_s << QString();
        // clang-format on
    }
    void airportCityNames() {
        QFETCH(QString, code);
        QFETCH(QString, city);
        QCOMPARE(airportCityName(code), city);
    }

    void airlineNames_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("CA")                 << u"CA"_s    << u"国航"_s;
        QTest::newRow("lower, leading blank") << u" ca"_s << u"国航"_s;
        QTest::newRow("blanks both sides")  << u" mu "_s  << u"东航"_s;
        QTest::newRow("digit code")         << u"3u"_s    << u"川航"_s;
        QTest::newRow("8L left column end") << u"8L"_s    << u"祥鹏"_s;
        QTest::newRow("8K right column")    << u"8K"_s    << u"奥凯"_s;
        QTest::newRow("EU is Chengdu")      << u"EU"_s    << u"成都"_s;
        QTest::newRow("CN")                 << u"CN"_s    << u"大新华"_s;
        QTest::newRow("KN")                 << u"KN"_s    << u"中联航"_s;
        QTest::newRow("last row")           << u"TV"_s    << u"西藏"_s;
        QTest::newRow("unknown")            << u"XX"_s    << u"未知"_s;
        QTest::newRow("empty")              << QString()  << u"未知"_s;
        QTest::newRow("tab is no blank")    << u"\tCA"_s  << u"未知"_s;
        QTest::newRow("three letters")      << u"CAA"_s   << u"未知"_s;
        // clang-format on
    }
    void airlineNames() {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QCOMPARE(airlineShortName(code), name);
    }

    void monthNumbers_data() {
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("digits");
        const QStringList names{u"JAN"_s, u"FEB"_s, u"MAR"_s, u"APR"_s, u"MAY"_s, u"JUN"_s,
                                u"JUL"_s, u"AUG"_s, u"SEP"_s, u"OCT"_s, u"NOV"_s, u"DEC"_s};
        for (int i = 0; i < names.size(); ++i)
            QTest::newRow(qPrintable(names[i]))
                << names[i] << u"%1"_s.arg(i + 1, 2, 10, QLatin1Char('0'));
        // clang-format off
        QTest::newRow("lower case")    << u"may"_s  << u"05"_s;
        QTest::newRow("unknown")       << u"MAI"_s  << QString();
        QTest::newRow("leading blank") << u" MAY"_s << QString();
        QTest::newRow("too long")      << u"MAYY"_s << QString();
        QTest::newRow("empty")         << QString() << QString();
        // clang-format on
    }
    void monthNumbers() {
        QFETCH(QString, month);
        QFETCH(QString, digits);
        QCOMPARE(monthNumber(month), digits);
    }

    void numericDates_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("result");
        const QDate december(2026, 12, 7);
        const QDate may(2026, 5, 1);
        // clang-format off
        // ddMMMyy keeps the display's year and is never checked.
        QTest::newRow("ddMMMyy")               << u"15MAY07"_s   << may << u"07-05-15"_s;
        QTest::newRow("ddMMMyy impossible")    << u"31FEB07"_s   << may << u"07-02-31"_s;
        QTest::newRow("seven of anything")     << u"ABCDEFG"_s   << may << u"FG--AB"_s;
        QTest::newRow("ddMMMyy in blanks")     << u" 15MAY07 "_s << may << u"07-05-15"_s;
        // ddMMM: this year unless that is more than 183 days away.
        QTest::newRow("blanks trimmed")        << u"  15MAY  "_s << may << u"2026-05-15"_s;
        QTest::newRow("day keeps its zero")    << u"05MAY"_s     << may << u"2026-05-05"_s;
        QTest::newRow("lower-case month")      << u"15may"_s     << may << u"2026-05-15"_s;
        QTest::newRow("January in December")   << u"15JAN"_s     << december << u"2027-01-15"_s;
        QTest::newRow("183 days before stays") << u"07JUN"_s     << december << u"2026-06-07"_s;
        QTest::newRow("184 days before rolls") << u"06JUN"_s     << december << u"2027-06-06"_s;
        QTest::newRow("soon after today")      << u"15NOV"_s     << december << u"2026-11-15"_s;
        QTest::newRow("today")                 << u"07DEC"_s     << december << u"2026-12-07"_s;
        QTest::newRow("183 days after stays")  << u"12JUL"_s     << QDate(2026, 1, 10) << u"2026-07-12"_s;
        QTest::newRow("184 days after, last year") << u"13JUL"_s << QDate(2026, 1, 10) << u"2025-07-13"_s;
        QTest::newRow("December in January")   << u"28DEC"_s     << QDate(2027, 1, 3) << u"2026-12-28"_s;
        QTest::newRow("six characters")        << u"15MAY2"_s    << may << u"2026-05-15"_s;
        QTest::newRow("eight characters")      << u"15MAY071"_s  << may << u"2026-05-15"_s;
        // Leap days.
        QTest::newRow("29FEB in a leap year")  << u"29FEB"_s     << QDate(2028, 1, 10) << u"2028-02-29"_s;
        QTest::newRow("29FEB, next year has none") << u"29FEB"_s << QDate(2028, 12, 1) << u"2028-02-29"_s;
        // Not a date: the current year, the month's digits and the first two characters.
        QTest::newRow("29FEB, not a leap year") << u"29FEB"_s    << december << u"2026-02-29"_s;
        QTest::newRow("31FEB")                 << u"31FEB"_s     << december << u"2026-02-31"_s;
        QTest::newRow("day 00")                << u"00JAN"_s     << december << u"2026-01-00"_s;
        QTest::newRow("day not digits")        << u"1AJAN"_s     << december << u"2026-01-1A"_s;
        QTest::newRow("full-width day")        << u"１５JAN"_s   << december << u"2026-01-１５"_s;
        QTest::newRow("unknown month")         << u"15XYZ"_s     << may << u"2026--15"_s;
        QTest::newRow("one-digit day")         << u"5MAY"_s      << may << u"2026--5M"_s;
        QTest::newRow("empty")                 << QString()      << may << u"2026--"_s;
        QTest::newRow("blanks only")           << u"     "_s     << may << u"2026--"_s;
        // clang-format on
    }
    void numericDates() {
        QFETCH(QString, date);
        QFETCH(QDate, today);
        QFETCH(QString, result);
        QCOMPARE(numericDate(date, FixedClock(today)), result);
    }
};

QTEST_GUILESS_MAIN(TestCodeTables)
#include "tst_codetables.moc"
