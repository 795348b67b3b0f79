#include "base/Clock.h"
#include "base/Messages.h"
#include "base/TextEncoding.h"
#include "settings/LocalFileSystem.h"
#include "sheet/Itinerary.h"
#include "textimport/AgencyCodes.h"
#include "textimport/BookingDisplayImport.h"
#include "textimport/CodeTables.h"
#include "textimport/DateConversion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

// The tables as the program has always had them, in their comparison order, with the seven
// cities renamed since.
const QString OriginalAirports =
    u"AKU 阿克苏;AAT 阿勒泰;AKA 安康;AQG 安庆;AOG 鞍山;PEK 北京;BSD 保山;BAV 包头;BHY 北海;"
    "BFU 蚌埠;CTU 成都;CKG 重庆;CGQ 长春;CGD 常德;CSX 长沙;CIH 长治;CZX 常州;CHG 朝阳;CIF 赤峰;"
    "DAX 达州;DLC 大连;DLU 大理;DDG 丹东;DAT 大同;DNH 敦煌;DOY 东营;ENH 恩施;FOC 福州;FUG 阜阳;"
    "FYN 富蕴;CAN 广州;KWE 贵阳;KOW 赣州;GOQ 格尔木;GHN 广汉;KWL 桂林;HGH 杭州;HAK 海口;"
    "HRB 哈尔滨;HLD 海拉尔;HMI 哈密;HZG 汉中;HFE 合肥;HEK 黑河;HNY 衡阳;HTN 和田;TXN 黄山;"
    "HYN 台州;HET 呼和浩特;JIU 九江;KNC 吉安;JDZ 景德镇;JMU 佳木斯;JGN 嘉峪关;JIL 吉林;TNA 济南;"
    "JNG 济宁;JGS 井冈山;JNZ 锦州;CHW 酒泉;JZH 九寨沟;KMG 昆明;KRY 克拉玛依;KHG 喀什;KRL 库尔勒;"
    "KCA 库车;LHW 兰州;LXA 拉萨;LYG 连云港;LJG 丽江;LYI 临沂;LZH 柳州;LYA 洛阳;LZO 泸州;LUM 芒市;"
    "NZH 满洲里;MXZ 梅县;MIG 绵阳;MDG 牡丹江;NKG 南京;KHN 南昌;NNG 南宁;NGB 宁波;NAO 南充;"
    "NTG 南通;NNY 南阳;TAO 青岛;IQM 且末;IQN 庆阳;SHP 秦皇岛;NDG 齐齐哈尔;JJN 泉州;JUZ 衢州;"
    "SHA 上海虹桥;PVG 上海浦东;SZX 深圳;SYX 三亚;SWA 汕头;SHS 荆州;SHE 沈阳;SJW 石家庄;SYM 普洱;"
    "SZV 苏州;TCG 塔城;TYN 太原;TSN 天津;TNH 通化;TGO 通辽;TEN 铜仁;WNZ 温州;WXN 万州;WEF 潍坊;"
    "WEH 威海;WUH 武汉天河;WJD 王家墩;HLH 乌兰浩特;URC 乌鲁木齐;WUS 武夷山;WUZ 梧州;WUX 无锡;"
    "XIY 西安咸阳;XMN 厦门;XFN 襄阳;XIC 西昌;XIL 锡林浩特;XNN 西宁;XUZ 徐州;ENY 延安;YNJ 延吉;"
    "YNT 烟台;YNZ 盐城;YBP 宜宾;YIH 宜昌;INC 银川;YIN 伊宁;YIW 义乌;UYN 榆林;YCU 运城;JHG 西双版纳;"
    "ZAT 昭通;DYG 张家界;ZHA 湛江;DIG 香格里拉;CGO 郑州;HSN 舟山;ZUH 珠海;ZYI 遵义;BJS 北京首都"_s;
const QString OriginalAirlines =
    u"CA 国航;MU 东航;CZ 南航;FM 上航;HU 海航;SC 山航;MF 厦航;3U 川航;ZH 深航;HO 吉祥;KN 中联航;"
    "8L 祥鹏;8K 奥凯;EU 成都;8C 东星;G5 华夏;PN 西部;OQ 重庆;NS 河北;CN 大新华;GS 天津;VD 鲲鹏;"
    "JD 首都;JR 幸福;KY 昆航;TV 西藏"_s;

// "CODE NAME" pairs separated by ";", as above.
QString pairs(const QList<CodeEntry> &entries) {
    QStringList out;
    for (const CodeEntry &e : entries)
        out.append(e.code + u' ' + e.name);
    return out.join(u';');
}

QString numbers(const QList<int> &lines) {
    QStringList out;
    for (int n : lines)
        out.append(QString::number(n));
    return out.join(u',');
}

CodeList agencyList(const QString &text) {
    return parseCodeList(text, CodeSource::AgencyFile);
}

} // namespace

class TestCodeTables final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The original entries open the built-in tables, in their order, and each still gives its
    // own name, so no earlier line takes it over.
    void originalEntriesStayFirstAndInOrder() {
        const CodeTables &tables = CodeTables::builtIn();
        const QStringList airports = OriginalAirports.split(u';');
        const QStringList airlines = OriginalAirlines.split(u';');
        QCOMPARE(pairs(tables.airports().entries().first(airports.size())), OriginalAirports);
        QCOMPARE(pairs(tables.airlines().entries().first(airlines.size())), OriginalAirlines);
        for (const QString &pair : airports)
            QCOMPARE(tables.airportCityName(pair.left(3)), pair.mid(4));
        for (const QString &pair : airlines)
            QCOMPARE(tables.airlineShortName(pair.left(2)), pair.mid(3));
        QVERIFY(tables.airports().entries().size() >= 500);
        QVERIFY(tables.airlines().entries().size() >= 160);
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
        QTest::newRow("a digit")            << u"P3K"_s  << QString();
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
        QTest::newRow("unlisted with digit") << u"Z9"_s   << u"Z9"_s;
        QTest::newRow("two digits")         << u"12"_s    << u"未知"_s;
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
        QTest::addColumn<QString>("unrecognised");
        // clang-format off
        QTest::newRow("tab")               << u"PKX\t北京大兴"_s << u"PKX 北京大兴"_s << QString() << QString();
        QTest::newRow("blanks around")     << u"  PKX   北京大兴  "_s << u"PKX 北京大兴"_s << QString() << QString();
        QTest::newRow("ideographic space") << u"PKX　北京大兴"_s << u"PKX 北京大兴"_s << QString() << QString();
        QTest::newRow("lower-case code")   << u"pkx 北京大兴"_s << u"PKX 北京大兴"_s << QString() << QString();
        QTest::newRow("blank inside name") << u"NRT 东京 成田"_s << u"NRT 东京 成田"_s << QString() << QString();
        QTest::newRow("comments")          << u"# 本社代码\nPKX 北京大兴 # 2019年\n  # x"_s << u"PKX 北京大兴"_s << QString() << QString();
        QTest::newRow("CR LF, blank lines") << u"\r\n \t\r\nPKX 北京大兴\r\n\r\n9c 春秋\r\n"_s << u"PKX 北京大兴"_s << u"9C 春秋"_s << QString();
        QTest::newRow("CR only")           << u"PKX 北京大兴\r9C 春秋"_s << u"PKX 北京大兴"_s << u"9C 春秋"_s << QString();
        QTest::newRow("two characters: airline") << u"G5 华夏\nCX 国泰"_s << QString() << u"G5 华夏;CX 国泰"_s << QString();
        QTest::newRow("order and repeats kept") << u"ZZZ 甲\nYYY 乙\nZZZ 丙"_s << u"ZZZ 甲;YYY 乙;ZZZ 丙"_s << QString() << QString();
        QTest::newRow("no name")           << u"PKX\nPKX  # 大兴"_s << QString() << QString() << u"1,2"_s;
        QTest::newRow("no blank after code") << u"PKX北京大兴"_s << QString() << QString() << u"1"_s;
        QTest::newRow("four letters")      << u"PKXX 北京"_s << QString() << QString() << u"1"_s;
        QTest::newRow("one letter")        << u"P 北京"_s << QString() << QString() << u"1"_s;
        QTest::newRow("digit in airport")  << u"P1X 北京"_s << QString() << QString() << u"1"_s;
        QTest::newRow("airline of digits") << u"12 某航"_s << QString() << QString() << u"1"_s;
        QTest::newRow("full-width code")   << u"ＰＫＸ 北京"_s << QString() << QString() << u"1"_s;
        QTest::newRow("control character") << u"PKX 北京\u0001大兴"_s << QString() << QString() << u"1"_s;
        QTest::newRow("numbers count every line") << u"PKX 北京大兴\n坏行\n\n# 注释\nZZ 某航\nABCD 某地\n"_s
                                           << u"PKX 北京大兴"_s << u"ZZ 某航"_s << u"2,6"_s;
        // clang-format on
    }
    void codeLists() {
        QFETCH(QString, text);
        const CodeList list = agencyList(text);
        QTEST(pairs(list.airports), "airports");
        QTEST(pairs(list.airlines), "airlines");
        QTEST(numbers(list.unrecognisedLines), "unrecognised");
        for (const CodeEntry &e : list.airports + list.airlines)
            QCOMPARE(e.source, CodeSource::AgencyFile);
    }

    // The agency's entries replace built-in names in place and add new codes at the end; the
    // first of its own entries of a code wins; the built-in tables stay as they were.
    void agencyCodesOverrideAndExtend() {
        const CodeTables &builtIn = CodeTables::builtIn();
        const CodeTables tables = builtIn.withAgencyCodes(
            agencyList(u"pek 北京首都\nQQQ 某新机场\nQQQ 另一个\nCA 中国国际\nZZ 某航"_s));
        QCOMPARE(tables.airport(u"PEK"_s), (CodeLookup{u"北京首都"_s, CodeSource::AgencyFile}));
        QCOMPARE(tables.airport(u"qqq"_s), (CodeLookup{u"某新机场"_s, CodeSource::AgencyFile}));
        QCOMPARE(tables.airport(u"SHA"_s), (CodeLookup{u"上海虹桥"_s, CodeSource::BuiltIn}));
        QCOMPARE(tables.airport(u"XXX"_s), (CodeLookup{u"XXX"_s, std::nullopt}));
        QCOMPARE(tables.airline(u" ca"_s), (CodeLookup{u"中国国际"_s, CodeSource::AgencyFile}));
        QCOMPARE(tables.airline(u"ZZ"_s), (CodeLookup{u"某航"_s, CodeSource::AgencyFile}));
        QCOMPARE(tables.airline(u"1"_s), (CodeLookup{u"未知"_s, std::nullopt}));
        QCOMPARE(tables.airports().entries().at(5).code, u"PEK"_s);
        QCOMPARE(tables.airports().entries().size(), builtIn.airports().entries().size() + 1);
        QCOMPARE(tables.airports().entries().last().code, u"QQQ"_s);
        QCOMPARE(builtIn.airportCityName(u"PEK"_s), u"北京"_s);
        QVERIFY(!builtIn.airport(u"QQQ"_s).source);

        // The import names cities and carriers from the tables it is given.
        Itinerary sheet;
        RecordingMessages messages;
        importBookingDisplay(u" 1.张三 HXYZ12\r\n 2.  CA1501 Y   TU15MAY  PEKQQQ HK1   0800 1010  "
                             "        E T3T2\r\n"_s,
                             sheet, messages, FixedClock(QDate(2026, 5, 1)), tables);
        QCOMPARE(sheet.text(5), u"北京首都   T3"_s);
        QCOMPARE(sheet.text(6), u"中国国际"_s);
        QCOMPARE(sheet.text(13), u"某新机场   T2"_s);
    }

    // codes.txt read from the disk: UTF-8 or GBK, what the operator is told about it.
    void agencyFiles_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: no file; "<dir>": a folder in its place
        QTest::addColumn<QString>("pkx");
        QTest::addColumn<QString>("message"); // %1: the file
        const QString lines = u"# 本社\nPKX 大兴机场\n坏行\n"_s;
        // clang-format off
        QTest::newRow("UTF-8")    << lines.toUtf8() << u"大兴机场"_s << u"代码表文件 %1 第3行无法识别，已忽略"_s;
        QTest::newRow("UTF-8 with byte-order mark") << "\xEF\xBB\xBF" + lines.toUtf8() << u"大兴机场"_s << u"代码表文件 %1 第3行无法识别，已忽略"_s;
        QTest::newRow("GBK")      << encodeGb18030(lines) << u"大兴机场"_s << u"代码表文件 %1 第3行无法识别，已忽略"_s;
        QTest::newRow("no file")  << QByteArray() << u"北京大兴"_s << QString();
        QTest::newRow("empty file") << QByteArray("") << u"北京大兴"_s << QString();
        QTest::newRow("a folder") << QByteArray("<dir>") << u"北京大兴"_s << u"代码表文件 %1 无法读取，已忽略"_s;
        QTest::newRow("several lines") << QByteArray("x\nPKX\n\nZZZZ 1\n") << u"北京大兴"_s << u"代码表文件 %1 第1、2、4行无法识别，已忽略"_s;
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
        QCOMPARE(agency.path, path);
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
