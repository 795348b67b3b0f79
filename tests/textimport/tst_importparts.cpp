// The pieces the booking display parser is made of, on the texts that break naive cutting.
#include "textimport/CodeTables.h"
#include "textimport/DecimalSum.h"
#include "textimport/FareElements.h"
#include "textimport/IdentityNumbers.h"
#include "textimport/PassengerImport.h"
#include "textimport/ScreenRows.h"
#include "textimport/SegmentImport.h"
#include "textimport/TextCutting.h"
#include "textimport/TicketNumbers.h"

#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

class TestImportParts final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void lineEnds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normalised");
        // clang-format off
        QTest::newRow("CR LF kept")     << u"a\r\nb\r\n"_s << u"a\r\nb\r\n"_s;
        QTest::newRow("LF")             << u"a\nb\n"_s     << u"a\r\nb\r\n"_s;
        QTest::newRow("CR")             << u"a\rb\r"_s     << u"a\r\nb\r\n"_s;
        QTest::newRow("LF CR is two")   << u"a\n\rb"_s     << u"a\r\n\r\nb"_s;
        QTest::newRow("CR CR LF")       << u"a\r\r\nb"_s   << u"a\r\n\r\nb"_s;
        QTest::newRow("none")           << u"abc"_s        << u"abc"_s;
        QTest::newRow("empty")          << QString()       << QString();
        // clang-format on
    }
    void lineEnds() {
        QFETCH(QString, text);
        QFETCH(QString, normalised);
        QCOMPARE(normaliseLineEnds(text), normalised);
    }

    void cityCells_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("terminal");
        QTest::addColumn<QString>("cell");
        // clang-format off
        QTest::newRow("terminal")         << u"PEK"_s << u"T3"_s << u"北京   T3"_s;
        QTest::newRow("no terminal")      << u"PEK"_s << u"--"_s << u"北京   "_s;
        QTest::newRow("terminal missing") << u"PEK"_s << QString() << u"北京   "_s;
        QTest::newRow("blank terminal")   << u"PEK"_s << u"  "_s << u"北京   "_s;
        QTest::newRow("one dash")         << u"PEK"_s << u"-"_s  << u"北京   -"_s;
        QTest::newRow("unlisted airport") << u"QQQ"_s << u"T3"_s << u"QQQ   T3"_s;
        QTest::newRow("not a code")       << u"Q1Q"_s << u"T3"_s << u"   T3"_s;
        QTest::newRow("international terminal") << u"PEK"_s << u" 2"_s << u"北京   T2"_s;
        QTest::newRow("digit, then blank") << u"PVG"_s << u"1 "_s << u"上海浦东   T1"_s;
        QTest::newRow("letter terminal")  << u"ZZZ"_s << u" M"_s << u"ZZZ   M"_s;
        // clang-format on
    }
    void cityCells() {
        QFETCH(QString, code);
        QFETCH(QString, terminal);
        QFETCH(QString, cell);
        QCOMPARE(cityCell(CodeTables::builtIn(), code, terminal), cell);
    }

    void recordCode_data() {
        QTest::addColumn<QString>("piece");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        // clang-format off
        QTest::newRow("code after the name")     << u"李四 HXYZ12\r\n 3"_s      << u"李四"_s << u"HXYZ12"_s;
        QTest::newRow("two-digit element")       << u"李四 HXYZ12\r\n13"_s      << u"李四"_s << u"HXYZ12"_s;
        QTest::newRow("code alone on next line") << u"YANG/LEI\r\n    PZ4K8M\r\n 7"_s << u"YANG/LEI"_s << u"PZ4K8M"_s;
        QTest::newRow("five-character code")     << u"张三 HXYZ1\r\n 2"_s       << u"张三"_s << u"HXYZ1"_s;
        QTest::newRow("tab before the code")     << u"张三\tHXYZ12\r\n 2"_s     << u"张三"_s << u"HXYZ12"_s;
        QTest::newRow("name with a blank")       << u"ZHANG/SAN MR HXYZ12\r\n 2"_s << u"ZHANG/SAN MR"_s << u"HXYZ12"_s;
        QTest::newRow("no element line")         << u"张三 HXYZ12"_s            << u"张三"_s << u"HXYZ12"_s;
        QTest::newRow("trailing blanks")         << u"张三 HXYZ12   \r\n 2"_s   << u"张三"_s << u"HXYZ12"_s;
        QTest::newRow("last line not a number")  << u"张三 HXYZ12\r\nRMK X"_s   << u"张三 HXYZ12\r\nRMK"_s << u"X"_s;
        QTest::newRow("one token")               << u"AB\r\n 2"_s               << QString() << u"AB"_s;
        QTest::newRow("no token")                << u"\r\n 2"_s                 << QString() << QString();
        QTest::newRow("empty")                   << QString()                   << QString() << QString();
        QTest::newRow("digits only")             << u" 2"_s                     << QString() << QString();
        // clang-format on
    }
    void recordCode() {
        QFETCH(QString, piece);
        QFETCH(QString, name);
        QFETCH(QString, code);
        QCOMPARE(splitRecordCode(piece), (RecordCodeSplit{name, code}));
    }

    void namesLoseTheNextOrdinal_data() {
        QTest::addColumn<QString>("piece");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("one digit")           << u"张三 2"_s           << u"张三"_s;
        QTest::newRow("two digits")          << u"周杰 10"_s          << u"周杰"_s;
        QTest::newRow("wrapped list")        << u"吴芳\r\n    11"_s   << u"吴芳"_s;
        QTest::newRow("ordinal cut at the row's end") << u"WU/FANG 1\r\n2"_s << u"WU/FANG"_s;
        QTest::newRow("name cut at the row's end") << u"GUO/ME\r\nIHUA 7"_s << u"GUO/MEIHUA"_s;
        QTest::newRow("element at line start") << u"YANG/LEI\r\n 7"_s << u"YANG/LEI"_s;
        QTest::newRow("no ordinal")          << u"张三 "_s            << u"张三"_s;
        QTest::newRow("tabs")                << u"\t张三\t2\t"_s      << u"张三"_s;
        QTest::newRow("empty")               << QString()             << QString();
        QTest::newRow("digits only")         << u"12"_s               << QString();
        QTest::newRow("full-width digit stays") << u"张三 ２"_s       << u"张三 ２"_s;
        // clang-format on
    }
    void namesLoseTheNextOrdinal() {
        QFETCH(QString, piece);
        QFETCH(QString, name);
        QCOMPARE(nameBeforeOrdinal(piece), name);
    }

    // The numbers that identity ("SSR FOID "), document ("SSR DOCS ") and ticket-number
    // ("SSR TKNE ") elements give, from their text after the marker.
    void elementNumbers_data() {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("number");
        // clang-format off
        QTest::newRow("identity card")     << u"FOID"_s << u"CA HK1 NI110101199001011234"_s << u"110101199001011234"_s;
        QTest::newRow("NI before passport") << u"FOID"_s << u"CA HK1 PPE1 NI42"_s << u"42"_s;
        QTest::newRow("passport, blanks")  << u"FOID"_s << u"CA HK1 PPE1234567  "_s << u"E1234567"_s;
        QTest::newRow("other document")    << u"FOID"_s << u"CA HK1 TW12345"_s << QString();
        QTest::newRow("passport element")  << u"DOCS"_s << u"AC HK1 P/CHN/E00000001/CHN/22DEC89/M/04SEP22/SU/DONG/P1"_s << u"E00000001"_s;
        QTest::newRow("infant's document") << u"DOCS"_s << u"AC HK1 P/CHN/E00000002/CHN/01JAN25/FI/04SEP30/SU/XIAO/P1"_s << QString();
        QTest::newRow("too few items")     << u"DOCS"_s << u"AC HK1 P/CHN"_s << QString();
        QTest::newRow("ticket element")    << u"TKNE"_s << u"CA HK1 PEKSHA 1501 Y15MAY 8801664816611/1/P1"_s << u"880-1664816611"_s;
        QTest::newRow("infant's ticket")   << u"TKNE"_s << u"CA HK1 PEKSHA 1501 Y15MAY INF8801664816612/1/P1"_s << u"INF 880-1664816612"_s;
        QTest::newRow("twelve digits")     << u"TKNE"_s << u"CA HK1 880166481661/1/P1"_s << QString();
        QTest::newRow("digits after the first slash") << u"TKNE"_s << u"CA HK1/8801664816611"_s << QString();
        // clang-format on
    }
    void elementNumbers() {
        QFETCH(QString, marker);
        QFETCH(QString, text);
        QFETCH(QString, number);
        bool infant = false;
        const QString got = marker == u"FOID"   ? identityElementNumber(text)
                            : marker == u"DOCS" ? documentElementNumber(text)
                                                : ticketElementNumber(text, &infant);
        QCOMPARE(infant ? u"INF "_s + got : got, number);
    }

    void fareElements_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<FareElement>>("elements");
        const auto row = [](const QString &fare, const QString &fund, const QString &total) {
            return FareRow{u"CNY "_s + fare, u"CN "_s + fund, u"YQ 0.00"_s, u"XT 0.00"_s,
                           u"CNY "_s + total};
        };
        QTest::newRow("lines joined up to the next element number")
            << u"30.FN/A/FCNY1/TCNY2CN/  -\r\n   ACNY3 +\r\n  31.TN/ACNY9/P1"_s
            << QList<FareElement>{{false, row(u"1"_s, u"2.00"_s, u"3.00"_s), {}}};
        QTest::newRow("infant element naming two, then the next element")
            << u"FN/A/IN/FCNY100.00/ACNY100.00/P1/02/X/3 FN/A/SCNY5/ACNY5/P7"_s
            << QList<FareElement>{{true, row(u"100.00"_s, u"0.00"_s, u"100.00"_s), {1, 2}},
                                  {false, row(u"5"_s, u"0.00"_s, u"5.00"_s), {7}}};
        QTest::newRow("passengers before the total")
            << u"FN/A/FCNY1/P2/ACNY1"_s
            << QList<FareElement>{{false, row(u"1"_s, u"0.00"_s, u"1.00"_s), {2}}};
        QTest::newRow("empty element")
            << u"FN/A/"_s << QList<FareElement>{{false, row(u"0.00"_s, u"0.00"_s, u"0.00"_s), {}}};
    }
    void fareElements() {
        QFETCH(QString, text);
        QFETCH(QList<FareElement>, elements);
        QCOMPARE(readFareElements(text), elements);
    }

    // Rows that fill the 80 columns are cut where the 80th column holds a blank or a page
    // mark; a wide character takes two columns.
    void screenRows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rows");
        const QString a79 = u"A"_s.repeated(79);
        // clang-format off
        QTest::newRow("80 columns left alone") << a79 + u" "_s          << a79 + u" "_s;
        QTest::newRow("blank at 80")      << a79 + u" 2.X\r\nB"_s      << a79 + u" \r\n2.X\r\nB"_s;
        QTest::newRow("page mark at 80")  << a79 + u"+ 2.X"_s           << a79 + u"+\r\n 2.X"_s;
        QTest::newRow("letter at 80")     << a79 + u"B 2.X"_s           << a79 + u"B 2.X"_s;
        QTest::newRow("wide characters")  << u"张"_s.repeated(39) + u"A  2.X"_s << u"张"_s.repeated(39) + u"A \r\n 2.X"_s;
        QTest::newRow("wide character across 80, cut at 160")
            << u"张"_s.repeated(40) + a79 + u" 2.X"_s << u"张"_s.repeated(40) + a79 + u" \r\n2.X"_s;
        QTest::newRow("counted from each line") << u"AB\r\n"_s + a79 + u"-C"_s << u"AB\r\n"_s + a79 + u"-\r\nC"_s;
        // clang-format on
    }
    void screenRows() {
        QFETCH(QString, text);
        QFETCH(QString, rows);
        QCOMPARE(splitJoinedScreenRows(text), rows);
    }

    void exactSums_data() {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("sum");
        // clang-format off
        QTest::newRow("nothing")           << QStringList{}                         << u"0"_s;
        QTest::newRow("one")               << QStringList{u"45.50"_s}               << u"45.50"_s;
        QTest::newRow("carry out of cents") << QStringList{u"99.99"_s, u"0.01"_s}   << u"100.00"_s;
        QTest::newRow("different decimals") << QStringList{u"1.5"_s, u"0.255"_s, u"2"_s} << u"3.755"_s;
        QTest::newRow("long carry")        << QStringList{u"999999999999999999999"_s, u"1"_s}
                                           << u"1000000000000000000000"_s;
        QTest::newRow("leading zeros")     << QStringList{u"007"_s, u"0.1"_s}       << u"007.1"_s;
        // clang-format on
    }
    void exactSums() {
        QFETCH(QStringList, numbers);
        QFETCH(QString, sum);
        DecimalSum total;
        for (const QString &n : numbers)
            total.add(n);
        QCOMPARE(total.text(), sum);
    }
};

QTEST_GUILESS_MAIN(TestImportParts)
#include "tst_importparts.moc"
