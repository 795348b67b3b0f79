#include "TestPaths.h"

#include "base/Clock.h"
#include "base/LocalFileSystem.h"
#include "base/TextEncoding.h"
#include "textimport/AgencyCodes.h"
#include "textimport/CodeTables.h"
#include "textimport/DateConversion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

// The original tables (a fixture): "CODE NAME" entries, airports and airlines.
QStringList originalEntries(qsizetype codeLength) {
    QFile file(QStringLiteral(ITINERARY_TEST_DATA_DIR "/codes/original_tables.txt"));
    QStringList entries; // none when the fixture is missing, and the test fails
    if (file.open(QIODevice::ReadOnly)) {
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n'))
            if (!line.startsWith(u'#') && line.indexOf(u' ') == codeLength)
                entries.append(line);
    }
    return entries;
}

// "CODE NAME" pairs separated by ";".
QString pairs(const QList<CodeEntry> &entries) {
    QStringList out;
    for (const CodeEntry &e : entries)
        out.append(e.code + u' ' + e.name);
    return out.join(u';');
}

} // namespace

class TestCodeTables final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The original entries open the built-in tables, in their order (reading the tables
    // stops the program if a code were listed twice).
    void originalEntriesStayFirstAndInOrder() {
        const CodeTables &tables = CodeTables::builtIn();
        const QStringList airports = originalEntries(3);
        const QStringList airlines = originalEntries(2);
        QCOMPARE(pairs(tables.airports().entries().first(148)), airports.join(u';'));
        QCOMPARE(pairs(tables.airlines().entries().first(26)), airlines.join(u';'));
    }

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
        QTest::newRow("renamed city")       << u"XFN"_s  << u"襄阳"_s;
        QTest::newRow("renamed, last")      << u"HYN"_s  << u"台州"_s;
        QTest::newRow("digit in the code")  << u"PE1"_s  << QString();
        QTest::newRow("PKX")                << u"PKX"_s  << u"北京大兴"_s;
        QTest::newRow("TFU")                << u"tfu"_s  << u"成都天府"_s;
        QTest::newRow("HKG")                << u"HKG"_s  << u"香港"_s;
        QTest::newRow("NRT")                << u"NRT"_s  << u"东京成田"_s;
        QTest::newRow("HND")                << u"HND"_s  << u"东京羽田"_s;
        QTest::newRow("YVR")                << u"YVR"_s  << u"温哥华"_s;
        QTest::newRow("unlisted: the code") << u"zzz"_s  << u"ZZZ"_s;
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
        QCOMPARE(CodeTables::builtIn().airportCityName(code), city);
    }

    void airlineNames_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("CA")                 << u"CA"_s    << u"国航"_s;
        QTest::newRow("lower, leading blank") << u" ca"_s << u"国航"_s;
        QTest::newRow("blanks both sides")  << u" mu "_s  << u"东航"_s;
        QTest::newRow("digit code")         << u"3u"_s    << u"川航"_s;
        QTest::newRow("8K right column")    << u"8K"_s    << u"奥凯"_s;
        QTest::newRow("EU is Chengdu")      << u"EU"_s    << u"成都"_s;
        QTest::newRow("last row")           << u"TV"_s    << u"西藏"_s;
        QTest::newRow("9C")                 << u"9C"_s    << u"春秋"_s;
        QTest::newRow("CX")                 << u"CX"_s    << u"国泰"_s;
        QTest::newRow("AC")                 << u"ac"_s    << u"加航"_s;
        QTest::newRow("unlisted: the code") << u" zz "_s  << u"ZZ"_s;
        QTest::newRow("two digits")         << u"12"_s    << u"未知"_s;
        QTest::newRow("full-width")         << u"ＡＣ"_s  << u"未知"_s;
        QTest::newRow("empty")              << QString()  << u"未知"_s;
        QTest::newRow("tab is no blank")    << u"\tCA"_s  << u"未知"_s;
        QTest::newRow("three letters")      << u"CAA"_s   << u"未知"_s;
        // clang-format on
    }
    void airlineNames() {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QCOMPARE(CodeTables::builtIn().airlineShortName(code), name);
    }

    void codeLists_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("airports");
        QTest::addColumn<QString>("airlines");
        QTest::addColumn<QList<int>>("unrecognised");
        // clang-format off
        QTest::newRow("blanks, ideographic space") << u"  PKX　 北京大兴  "_s << u"PKX 北京大兴"_s << QString() << QList<int>{};
        QTest::newRow("comments")          << u"# 本社代码\nPKX 北京大兴 # 2019年\n  # x"_s << u"PKX 北京大兴"_s << QString() << QList<int>{};
        QTest::newRow("tab, CR LF, CR, blank lines") << u"\r\n \t\r\nPKX\t北京大兴\r\n\r\n9c 春秋\r"_s << u"PKX 北京大兴"_s << u"9C 春秋"_s << QList<int>{};
        QTest::newRow("no name")           << u"PKX\nPKX  # 大兴"_s << QString() << QString() << QList<int>{1,2};
        QTest::newRow("neither shape")     << u"PKXX 北京\nＰＫＸ 北京\nP1X 北京\n12 某航\nPKX北京"_s << QString() << QString() << QList<int>{1,2,3,4,5};
        QTest::newRow("control character") << u"PKX 北京\u0001大兴"_s << QString() << QString() << QList<int>{1};
        QTest::newRow("numbers count every line") << u"PKX 北京大兴\n坏行\n\n# 注释\nZZ 某航\nABCD 某地\n"_s
                                           << u"PKX 北京大兴"_s << u"ZZ 某航"_s << QList<int>{2,6};
        // clang-format on
    }
    void codeLists() {
        QFETCH(QString, text);
        const CodeList list = parseCodeList(text, CodeSource::AgencyFile);
        QTEST(pairs(list.airports), "airports");
        QTEST(pairs(list.airlines), "airlines");
        QTEST(list.unrecognisedLines, "unrecognised");
    }

    // The agency's entries replace built-in names in place and add new codes at the end; the
    // first of its own entries of a code wins; the built-in tables stay as they were.
    void agencyCodesOverrideAndExtend() {
        const CodeTables &builtIn = CodeTables::builtIn();
        const CodeTables tables = builtIn.withAgencyCodes(parseCodeList(
            u"pek 北京首都\nQQQ 某新机场\nQQQ 另一个\nCA 中国国际"_s, CodeSource::AgencyFile));
        QCOMPARE(tables.airport(u"PEK"_s), (CodeLookup{u"北京首都"_s, CodeSource::AgencyFile}));
        QCOMPARE(tables.airport(u"qqq"_s), (CodeLookup{u"某新机场"_s, CodeSource::AgencyFile}));
        QCOMPARE(tables.airline(u" ca"_s), (CodeLookup{u"中国国际"_s, CodeSource::AgencyFile}));
        QCOMPARE(tables.airports().entries().at(5).code, u"PEK"_s);
        QCOMPARE(builtIn.airportCityName(u"PEK"_s), u"北京"_s);
        QVERIFY(!builtIn.airport(u"QQQ"_s).source);
    }

    // codes.txt read from the disk: UTF-8 or GBK, what the operator is told about it.
    void agencyFiles_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: no file; "<dir>": a folder in its place
        QTest::addColumn<QString>("pkx");
        QTest::addColumn<QString>("message"); // %1: the file
        const QString lines = u"# 本社\nPKX 大兴机场\n坏行\n"_s;
        // clang-format off
        QTest::newRow("UTF-8")    << lines.toUtf8() << u"大兴机场"_s << u"代码表文件 %1 第3行无法识别，已忽略"_s;
        QTest::newRow("GBK")      << encodeGb18030(lines) << u"大兴机场"_s << u"代码表文件 %1 第3行无法识别，已忽略"_s;
        QTest::newRow("no file")  << QByteArray() << u"北京大兴"_s << QString();
        QTest::newRow("a folder") << QByteArray("<dir>") << u"北京大兴"_s << u"代码表文件 %1 无法读取，已忽略"_s;
        QTest::newRow("many lines") << QByteArray(12, '\n').replace("\n", "?\n") << u"北京大兴"_s
            << u"代码表文件 %1 第1、2、3、4、5、6、7、8、9、10行等共12行无法识别，已忽略"_s;
        // clang-format on
    }
    void agencyFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = agencyCodesPath(dir.filePath(u"info.ini"_s));
        QCOMPARE(path, dir.filePath(u"codes.txt"_s));
        if (bytes == "<dir>") {
            QVERIFY(QDir(dir.path()).mkdir(u"codes.txt"_s));
        } else if (!bytes.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        const AgencyCodes agency = loadAgencyCodes(path, LocalFileSystem());
        QTEST(CodeTables::builtIn().withAgencyCodes(agency.codes).airportCityName(u"PKX"_s), "pkx");
        QCOMPARE(agencyCodesMessage(agency), message.isEmpty() ? QString() : message.arg(path));
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
        // ddMMMyy keeps the display's year, written in full, and is never checked.
        QTest::newRow("ddMMMyy")               << u"15MAY07"_s   << may << u"2007-05-15"_s;
        QTest::newRow("ddMMMyy next January")  << u"14JAN27"_s   << december << u"2027-01-14"_s;
        QTest::newRow("ddMMMyy impossible")    << u"31FEB07"_s   << may << u"2007-02-31"_s;
        QTest::newRow("seven of anything")     << u"ABCDEFG"_s   << may << u"FG--AB"_s;
        QTest::newRow("year not digits")       << u"15MAY0X"_s   << may << u"0X-05-15"_s;
        QTest::newRow("ddMMMyy in blanks")     << u" 15MAY07 "_s << may << u"2007-05-15"_s;
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

    // A trip's flights in order: each later date runs forward from the last real one.
    void tripDates_data() {
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("results");
        const QDate december(2026, 12, 8);
        // clang-format off
        QTest::newRow("across the year")  << QStringList{u"25FEB"_s, u"28JUN"_s} << december << QStringList{u"2027-02-25"_s, u"2027-06-28"_s};
        QTest::newRow("year on the first") << QStringList{u"23AUG16"_s, u"24AUG"_s} << december << QStringList{u"2016-08-23"_s, u"2016-08-24"_s};
        QTest::newRow("same day stays")   << QStringList{u"10DEC"_s, u"10DEC"_s} << december << QStringList{u"2026-12-10"_s, u"2026-12-10"_s};
        QTest::newRow("leap day ahead")   << QStringList{u"01MAR"_s, u"29FEB"_s} << QDate(2027, 1, 5) << QStringList{u"2027-03-01"_s, u"2028-02-29"_s};
        QTest::newRow("no date between")  << QStringList{u"20DEC"_s, u"31FEB"_s, u"05JAN"_s} << december << QStringList{u"2026-12-20"_s, u"2026-02-31"_s, u"2027-01-05"_s};
        QTest::newRow("none before: nearest today") << QStringList{u"XXJAN"_s, u"01NOV"_s} << december << QStringList{u"2026-01-XX"_s, u"2026-11-01"_s};
        // clang-format on
    }
    void tripDates() {
        QFETCH(QStringList, dates);
        QFETCH(QDate, today);
        QFETCH(QStringList, results);
        std::optional<QDate> previous;
        for (qsizetype i = 0; i < dates.size(); ++i) {
            const FlightDate read = flightDate(dates[i], FixedClock(today), previous);
            QCOMPARE(read.text, results[i]);
            previous = read.date ? read.date : previous;
        }
    }
};

QTEST_GUILESS_MAIN(TestCodeTables)
#include "tst_codetables.moc"
