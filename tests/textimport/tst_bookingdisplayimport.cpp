// The booking display import as a whole: realistic displays from the reservation terminal,
// the segment rows, the fare row, the passengers, and texts that are broken or hostile.
#include "TestPaths.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "sheet/Itinerary.h"
#include "textimport/BookingDisplayImport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

using FieldTexts = QMap<int, QString>;
using Shown = RecordingMessages::Shown;

namespace {

const QDate Today(2026, 5, 1);

// Segment lines as the terminal lays them out, counted from the first column after ".  ".
const QString PekSha = u"CA1501 Y   TU15MAY  PEKSHA HK1   0800 1010          E T3T2"_s;
const QString ShaCan = u"MU5305 Y   TH17MAY  SHACAN HK1   1200 1425          E T2T1"_s;
const QString CanKmg = u"CZ3539 Y   SA19MAY  CANKMG HK1   0950 1200          E T1--"_s;
const QString KmgPek = u"MU5715 Y   MO21MAY  KMGPEK HK1   1405 1735          E --T3"_s;
const QString PekCtu = u"CA1405 Y   FR23MAY  PEKCTU HK1   1330 1640          E T3T1"_s;

const QString UsualFareLine =
    u"FN/A/FCNY1130.00/SCNY1130.00/C3.00/TCNY50.00CN/TCNY80.00YQ/ACNY1260.00"_s;

// "%2d." and the element: the terminal right-aligns element numbers in two columns.
QString element(int number, const QString &content) {
    return u"%1.%2"_s.arg(number, 2).arg(content);
}

QString display(const QStringList &lines) {
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

// A one-passenger booking around the given segment lines and further elements.
QString booking(const QStringList &segments, const QStringList &elements = {}) {
    QStringList lines{u" 1.张三 HXYZ12"_s};
    int number = 2;
    for (const QString &s : segments)
        lines.append(element(number++, u"  "_s + s));
    for (const QString &e : elements)
        lines.append(element(number++, e));
    return display(lines);
}

QString fixture(const QString &name) {
    QFile file(QStringLiteral(ITINERARY_TEST_DATA_DIR "/bookings/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return QString::fromUtf8(file.readAll());
}

// The segment rows' fields an import may write (field 51 included); 42-49 are the operator's.
QList<int> segmentRowFields() {
    QList<int> fields;
    for (int i = 5; i <= 29; ++i)
        fields.append(i);
    for (int i = 50; i <= 57; ++i)
        fields.append(i);
    return fields;
}

// Every field filled, as after an earlier booking and the operator's typing.
void fillEveryField(Itinerary &sheet) {
    for (int i = 0; i < FieldCount; ++i)
        sheet.setText(i, u"OLD%1"_s.arg(i));
}

struct State {
    QStringList fields;
    bool hasList = false;
    PassengerList passengers;
    qint16 current = 0;
    bool previous = false;
    bool next = false;
    bool operator==(const State &) const = default;
};

State stateOf(const Itinerary &sheet) {
    return {sheet.texts(),           sheet.hasPassengerList(),
            sheet.passengers(),      sheet.currentPassenger(),
            sheet.previousEnabled(), sheet.nextEnabled()};
}

QString twoDigits(int n) {
    return u"%1"_s.arg(n, 2, 10, QLatin1Char('0'));
}

PassengerList twelvePassengers() {
    const QStringList names{u"王小明"_s, u"李小红"_s, u"张伟"_s, u"刘洋"_s, u"陈静"_s, u"杨磊"_s,
                            u"赵敏"_s,   u"黄强"_s,   u"周杰"_s, u"吴芳"_s, u"徐涛"_s, u"孙丽"_s};
    PassengerList list;
    for (int i = 0; i < names.size(); ++i) {
        list.append({names[i], u"3101011988"_s + twoDigits(i + 1) + u"154321"_s,
                     u"999-30000000%1"_s.arg(i + 1, 2, 10, QLatin1Char('0'))});
    }
    return list;
}

} // namespace

class TestBookingDisplayImport final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Up to four segments fill rows 1-4; the arrival city follows the last one, and "VOID"
    // closes the journey unless all four rows are used. One and two segments give exactly the
    // rows the display's own layout calls for.
    void segmentRows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<FieldTexts>("expected");

        const FieldTexts row1{{5, u"北京   T3"_s},  {6, u"国航"_s},   {7, u"CA1501"_s}, {8, u"Y"_s},
                              {9, u"2026-05-15"_s}, {10, u"08:00"_s}, {12, u"20K"_s}};
        const FieldTexts row2{
            {13, u"上海虹桥   T2"_s}, {14, u"东航"_s},  {15, u"MU5305"_s}, {16, u"Y"_s},
            {17, u"2026-05-17"_s},    {18, u"12:00"_s}, {20, u"20K"_s}};
        const FieldTexts row3{{21, u"广州   T1"_s}, {22, u"南航"_s},       {23, u"CZ3539"_s},
                              {24, u"Y"_s},         {25, u"2026-05-19"_s}, {26, u"09:50"_s},
                              {28, u"20K"_s}};
        const FieldTexts row4{{29, u"昆明   "_s}, {57, u"东航"_s},       {56, u"MU5715"_s},
                              {55, u"Y"_s},       {54, u"2026-05-21"_s}, {53, u"14:05"_s},
                              {50, u"20K"_s}};
        const auto join = [](std::initializer_list<FieldTexts> parts) {
            FieldTexts all;
            for (const FieldTexts &p : parts)
                all.insert(p);
            return all;
        };

        QTest::newRow("one segment")
            << booking({PekSha})
            << join({row1, {{13, u"上海虹桥   T2"_s}, {14, u"VOID"_s}, {21, u"VOID"_s}}});
        QTest::newRow("two segments")
            << booking({PekSha, ShaCan})
            << join({row1, row2, {{21, u"广州   T1"_s}, {22, u"VOID"_s}, {29, u"VOID"_s}}});
        QTest::newRow("three segments")
            << booking({PekSha, ShaCan, CanKmg})
            << join({row1, row2, row3, {{29, u"昆明   "_s}, {57, u"VOID"_s}, {51, u"VOID"_s}}});
        QTest::newRow("four segments") << booking({PekSha, ShaCan, CanKmg, KmgPek})
                                       << join({row1, row2, row3, row4, {{51, u"北京   T3"_s}}});
        QTest::newRow("a fifth segment is not read")
            << booking({PekSha, ShaCan, CanKmg, KmgPek, PekCtu})
            << join({row1, row2, row3, row4, {{51, u"北京   T3"_s}}});
        QTest::newRow("date with year")
            << booking({u"CA1501 Y   TU15MAY26PEKSHA HK1   0800 1010          E T3T2"_s})
            << join({row1, {{13, u"上海虹桥   T2"_s}, {14, u"VOID"_s}, {21, u"VOID"_s}}});
        QTest::newRow("lower-case codes")
            << booking({u"ca1501 y   tu15may  pekShA hk1   0800 1010          e t3t2"_s})
            << join({row1, {{13, u"上海虹桥   T2"_s}, {14, u"VOID"_s}, {21, u"VOID"_s}}});
        QTest::newRow("unlisted airline and airports")
            << booking({u"XX1234 Y   TU15MAY  QQQZZZ HK1   0800 1010          E T3T2"_s})
            << join({row1,
                     {{5, u"QQQ   T3"_s},
                      {6, u"XX"_s},
                      {7, u"XX1234"_s},
                      {13, u"ZZZ   T2"_s},
                      {14, u"VOID"_s},
                      {21, u"VOID"_s}}});
        // A line that ends before the terminal columns: the next line is never read into
        // the city cell.
        QTest::newRow("short lines, no terminals")
            << booking({u"CA1501 Y   TU15MAY  PEKSHA HK1   0800 1010"_s,
                        u"MU5305 Y   TH17MAY  SHACAN HK1   1200 1425"_s},
                       {u"PEK/T PEK/T 010-65123456"_s})
            << join({row1,
                     row2,
                     {{5, u"北京   "_s},
                      {13, u"上海虹桥   "_s},
                      {21, u"广州   "_s},
                      {22, u"VOID"_s},
                      {29, u"VOID"_s}}});
        // Only flights fill rows; cancelled ones are left out unless no other flight is left.
        const QString cancelled = u"MU5305 Y   TH17MAY  SHACAN hx1   1200 1425          E T2T1"_s;
        QTest::newRow("surface segment and cancelled flight fill no row")
            << booking({PekSha, u"  ARNK              SHACAN"_s, cancelled, ShaCan})
            << join({row1, row2, {{21, u"广州   T1"_s}, {22, u"VOID"_s}, {29, u"VOID"_s}}});
        QTest::newRow("every flight cancelled: all kept")
            << booking({u"CA1501 Y   TU15MAY  PEKSHA XX1   0800 1010          E T3T2"_s, cancelled})
            << join({row1, row2, {{21, u"广州   T1"_s}, {22, u"VOID"_s}, {29, u"VOID"_s}}});
        QTest::newRow("international display")
            << fixture(u"international.txt"_s)
            << FieldTexts{{5, u"北京   T3"_s}, {6, u"国航"_s},         {7, u"CA855"_s},
                          {8, u"Y"_s},         {9, u"2026-01-15"_s},   {10, u"02:30"_s},
                          {12, u"20K"_s},      {13, u"曼彻斯特   "_s}, {14, u"英航"_s},
                          {15, u"BA1388"_s},   {16, u"Y"_s},           {17, u"2026-01-17"_s},
                          {18, u"09:00"_s},    {20, u"20K"_s},         {21, u"伦敦希思罗   T5"_s},
                          {22, u"VOID"_s},     {29, u"VOID"_s}};
    }
    void segmentRows() {
        QFETCH(QString, text);
        QFETCH(FieldTexts, expected);
        Itinerary sheet;
        fillEveryField(sheet);
        RecordingMessages messages;
        importBookingDisplay(text, sheet, messages, FixedClock(Today));

        for (int field : segmentRowFields())
            QCOMPARE(sheet.text(field), expected.value(field));
        // The validity columns are the operator's.
        for (int field = 42; field <= 49; ++field)
            QCOMPARE(sheet.text(field), u"OLD%1"_s.arg(field));
        QCOMPARE(messages.shown(), QList<Shown>());
    }

    // The fare row after a booking whose fare row held other amounts.
    void fareRow_data() {
        QTest::addColumn<QString>("fareLine");
        QTest::addColumn<QStringList>("fares"); // fields 30, 31, 32, 58, 33

        const QStringList untouched{u"CNY 9.00"_s, u"CN 9.00"_s, u"YQ 9.00"_s, u"XT 9.00"_s,
                                    u"CNY 99.00"_s};
        // clang-format off
        QTest::newRow("usual domestic line") << UsualFareLine
            << QStringList{u"CNY 1130.00"_s, u"CN 50.00"_s, u"YQ 80.00"_s, u"XT 0.00"_s, u"CNY 1260.00"_s};
        QTest::newRow("fare copied as displayed")
            << u"FN/A/FCNY1130.5/SCNY1130.5/C3.00/TCNY50.00CN/TCNY80.00YQ/ACNY1260.50"_s
            << QStringList{u"CNY 1130.5"_s, u"CN 50.00"_s, u"YQ 80.00"_s, u"XT 0.00"_s, u"CNY 1260.50"_s};
        QTest::newRow("decimals kept")
            << u"FN/A/FCNY1130.00/SCNY1130.00/C3.00/TCNY10.50CN/TCNY80.0YQ/ACNY1220.5"_s
            << QStringList{u"CNY 1130.00"_s, u"CN 10.50"_s, u"YQ 80.00"_s, u"XT 0.00"_s, u"CNY 1220.50"_s};
        QTest::newRow("whole amounts")
            << u"FN/A/FCNY1130/TCNY50CN/TCNY80YQ/ACNY1260"_s
            << QStringList{u"CNY 1130"_s, u"CN 50.00"_s, u"YQ 80.00"_s, u"XT 0.00"_s, u"CNY 1260.00"_s};
        QTest::newRow("point without decimals ends the number")
            << u"FN/A/FCNY1000.00/TCNY50.CN/ACNY1050."_s
            << QStringList{u"CNY 1000.00"_s, u"CN 0.00"_s, u"YQ 0.00"_s, u"XT 50.00"_s, u"CNY 1050.00"_s};
        QTest::newRow("exempt fuel surcharge")
            << u"FN/A/FCNY990.00/SCNY990.00/C3.00/TCNY50.00CN/TEXEMPTYQ/ACNY1040.00"_s
            << QStringList{u"CNY 990.00"_s, u"CN 50.00"_s, u"YQ 0.00"_s, u"XT 0.00"_s, u"CNY 1040.00"_s};
        QTest::newRow("no taxes")
            << u"FN/A/FCNY990.00/SCNY990.00/C3.00/ACNY990.00"_s
            << QStringList{u"CNY 990.00"_s, u"CN 0.00"_s, u"YQ 0.00"_s, u"XT 0.00"_s, u"CNY 990.00"_s};
        QTest::newRow("taxes by code, not position")
            << u"FN/A/FCNY1130.00/TCNY80.00YQ/TCNY50.00CN/ACNY1260.00"_s
            << QStringList{u"CNY 1130.00"_s, u"CN 50.00"_s, u"YQ 80.00"_s, u"XT 0.00"_s, u"CNY 1260.00"_s};
        QTest::newRow("other taxes summed")
            << u"FN/A/FCNY4200.00/TCNY90.00CN/TCNY130.00YQ/TCNY45.50XT/TCNY12.25OI/ACNY4477.75"_s
            << QStringList{u"CNY 4200.00"_s, u"CN 90.00"_s, u"YQ 130.00"_s, u"XT 57.75"_s, u"CNY 4477.75"_s};
        QTest::newRow("second CN is another tax")
            << u"FN/A/FCNY1000.00/TCNY50.00CN/TCNY30.00CN/ACNY1080.00"_s
            << QStringList{u"CNY 1000.00"_s, u"CN 50.00"_s, u"YQ 0.00"_s, u"XT 30.00"_s, u"CNY 1080.00"_s};
        QTest::newRow("sum rounded once")
            << u"FN/A/FCNY1000.00/TCNY0.004XT/TCNY0.001OI/ACNY1000.01"_s
            << QStringList{u"CNY 1000.00"_s, u"CN 0.00"_s, u"YQ 0.00"_s, u"XT 0.01"_s, u"CNY 1000.01"_s};
        QTest::newRow("sum carries")
            << u"FN/A/FCNY1000.00/TCNY99.99XT/TCNY0.01OI/ACNY1100.00"_s
            << QStringList{u"CNY 1000.00"_s, u"CN 0.00"_s, u"YQ 0.00"_s, u"XT 100.00"_s, u"CNY 1100.00"_s};
        QTest::newRow("lower-case tax code is another tax")
            << u"FN/A/FCNY1000.00/TCNY50.00cn/ACNY1050.00"_s
            << QStringList{u"CNY 1000.00"_s, u"CN 0.00"_s, u"YQ 0.00"_s, u"XT 50.00"_s, u"CNY 1050.00"_s};
        QTest::newRow("total rounded half away from zero")
            << u"FN/A/FCNY1000.00/ACNY01260.005"_s
            << QStringList{u"CNY 1000.00"_s, u"CN 0.00"_s, u"YQ 0.00"_s, u"XT 0.00"_s, u"CNY 1260.01"_s};
        QTest::newRow("total not a number keeps the display rule")
            << u"FN/A/FCNY1000.00/ACNYX12.00Z"_s
            << QStringList{u"CNY 1000.00"_s, u"CN 0.00"_s, u"YQ 0.00"_s, u"XT 0.00"_s, u"CNY X12.00"_s};
        QTest::newRow("wrapped over two lines")
            << u"FN/A/FCNY1950.00/SCNY1950.00/C3.00/XCNY170.50/TCNY50.00CN/TCNY120.50YQ/\r\n    ACNY2120.50"_s
            << QStringList{u"CNY 1950.00"_s, u"CN 50.00"_s, u"YQ 120.50"_s, u"XT 0.00"_s, u"CNY 2120.50"_s};
        QTest::newRow("fare line without items: the total is its parts")
            << u"FN/A/FCNY1130.00"_s
            << QStringList{u"CNY 1130.00"_s, u"CN 0.00"_s, u"YQ 0.00"_s, u"XT 0.00"_s, u"CNY 1130.00"_s};
        QTest::newRow("wrapped inside an item, continuation mark")
            << u"FN/A/FCNY1950.00/SCNY1950.00/TCNY50.00CN/TCNY120.50Y-  \r\n    Q/ACNY21+\r\n20.50"_s
            << QStringList{u"CNY 1950.00"_s, u"CN 50.00"_s, u"YQ 120.50"_s, u"XT 0.00"_s, u"CNY 2120.50"_s};
        QTest::newRow("equivalent fare without FCNY")
            << u"FN/A/ECNY800.00/SCNY1000.00/TCNY50.00CN/ACNY850.00"_s
            << QStringList{u"CNY 800.00"_s, u"CN 50.00"_s, u"YQ 0.00"_s, u"XT 0.00"_s, u"CNY 850.00"_s};
        QTest::newRow("priced by hand") << u"FN/M/FCNY1130.00/TCNY50.00CN/TCNY80.00YQ/ACNY1260.00"_s
            << QStringList{u"CNY 1130.00"_s, u"CN 50.00"_s, u"YQ 80.00"_s, u"XT 0.00"_s, u"CNY 1260.00"_s};
        QTest::newRow("no pricing mode") << u"FN/FCNY1130.00/TCNY50.00CN/ACNY1180.00"_s
            << QStringList{u"CNY 1130.00"_s, u"CN 50.00"_s, u"YQ 0.00"_s, u"XT 0.00"_s, u"CNY 1180.00"_s};
        QTest::newRow("inclusive tour: no total, the parts added")
            << u"FN/A/IT//SCNY1880.00/C0.00/XCNY2600.00/TCNY90.00CN/TCNY2510.00XT/P1"_s
            << QStringList{u"CNY 1880.00"_s, u"CN 90.00"_s, u"YQ 0.00"_s, u"XT 2510.00"_s, u"CNY 4480.00"_s};
        QTest::newRow("FN/ ending a word is no fare") << u"RMK XFN/A/FCNY1.00 A/FN/FCNY2.00"_s << untouched;
        QTest::newRow("no fare line") << u"FP/CASH,CNY"_s << untouched;
        QTest::newRow("lower-case marker is no fare line")
            << u"fn/a/fcny1130.00/TCNY50.00CN/ACNY1180.00"_s << untouched;
        // clang-format on
    }
    void fareRow() {
        QFETCH(QString, fareLine);
        QFETCH(QStringList, fares);
        Itinerary sheet;
        sheet.setText(30, u"CNY 9.00"_s);
        sheet.setText(31, u"CN 9.00"_s);
        sheet.setText(32, u"YQ 9.00"_s);
        sheet.setText(58, u"XT 9.00"_s);
        sheet.setText(33, u"CNY 99.00"_s);
        RecordingMessages messages;
        // The fare line last, so a line without "/" has nothing after it.
        importBookingDisplay(booking({PekSha}, {u"TN/999-2345678901/P1"_s, fareLine}), sheet,
                             messages, FixedClock(Today));
        const QStringList got{sheet.text(30), sheet.text(31), sheet.text(32), sheet.text(58),
                              sheet.text(33)};
        QCOMPARE(got, fares);
    }

    void passengers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("recordCode");
        QTest::addColumn<PassengerList>("passengers");

        const QString seg = element(3, u"  "_s + PekSha);
        const QString foid1 = u" 4.SSR FOID CA HK1 NI110101199001011234/P1"_s;
        const QString foid2 = u" 5.SSR FOID CA HK1 NI440103198512125678/P2"_s;
        const QString tn1 = u" 6.TN/999-2345678901/P1"_s;
        const QString tn2 = u" 7.TN/999-2345678902/P2"_s;
        const PassengerList both{{u"张三"_s, u"110101199001011234"_s, u"999-2345678901"_s},
                                 {u"李四"_s, u"440103198512125678"_s, u"999-2345678902"_s}};

        QTest::newRow("two passengers, own lines")
            << display({u" 1.张三 2.李四 HXYZ12"_s, seg, foid1, foid2, tn1, tn2}) << u"HXYZ12"_s
            << both;
        QTest::newRow("identity lines out of order")
            << display({u" 1.张三 2.李四 HXYZ12"_s, seg, foid2, foid1, tn2, tn1}) << u"HXYZ12"_s
            << both;
        QTest::newRow("one identity line for two")
            << display({u" 1.张三 2.李四 HXYZ12"_s, seg, foid1, tn1, tn2}) << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, u"110101199001011234"_s, u"999-2345678901"_s},
                             {u"李四"_s, QString(), u"999-2345678902"_s}};
        QTest::newRow("infant ticket is no passenger's")
            << display({u" 1.张三 2.李四 HXYZ12"_s, seg, foid1, foid2,
                        u" 8.TN/IN/999-2345678903/P1"_s, tn1, tn2})
            << u"HXYZ12"_s << both;
        QTest::newRow("ticket elements fill what ticket lines leave")
            << display({u" 1.张三 2.李四 HXYZ12"_s, seg, u" 4.TN/999-2100000001/P1"_s,
                        u" 5.SSR TKNE CA HK1 PEKSHA 1501 Y15MAY 9992100000012/1/P2"_s,
                        u" 6.SSR TKNE CA HK1 PEKSHA 1501 Y15MAY 9992100000011/1/P1"_s})
            << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, QString(), u"999-2100000001"_s},
                             {u"李四"_s, QString(), u"999-2100000012"_s}};
        QTest::newRow("single passenger: ticket element without ordinal, infant's skipped")
            << display({u" 1.张三 HXYZ12"_s, element(2, u"  "_s + PekSha),
                        u" 3.SSR TKNE CA HK1 PEKSHA 1501 Y15MAY INF9992100000013/1/P1"_s,
                        u" 4.SSR TKNE CA HK1 PEKSHA 1501 Y15MAY 999210000001/1/P1"_s,
                        u" 5.SSR TKNE CA HK1 PEKSHA 1501 Y15MAY 9992100000019/1"_s})
            << u"HXYZ12"_s << PassengerList{{u"张三"_s, QString(), u"999-2100000019"_s}};
        // Infants follow the passengers in text order, each with its own ticket.
        QTest::newRow("infants after the passengers")
            << display({u" 1.张三 2.李四 HXYZ12"_s, seg, foid1, foid2, tn1, tn2,
                        u" 8.XN/IN/LI/XIAOBEI(MAY25)/P2"_s, u" 9.XN/IN/ZHANG/XIAOBAO (OC-"_s,
                        u"10.XN/IN/WANG/XIAOHU(JAN26)/P1"_s, u"11.TN/IN/999-2345678903/P1"_s,
                        u"12.SSR TKNE CA HK1 PEKSHA 1501 Y15MAY INF9992345678904/1/P2"_s})
            << u"HXYZ12"_s
            << both + PassengerList{{u"LI/XIAOBEI"_s, QString(), u"999-2345678904"_s},
                                    {u"ZHANG/XIAOBAO"_s, QString(), QString()},
                                    {u"WANG/XIAOHU"_s, QString(), u"999-2345678903"_s}};
        QTest::newRow("ordinal with a leading zero")
            << display({u" 1.张三 2.李四 HXYZ12"_s, seg,
                        u" 4.SSR FOID CA HK1 NI110101199001011234/P01"_s, foid2, tn1, tn2})
            << u"HXYZ12"_s << both;
        QTest::newRow("no ordinal names nobody")
            << display({u" 1.张三 2.李四 HXYZ12"_s, seg,
                        u" 4.SSR FOID CA HK1 NI110101199001011234/P 1"_s, foid2, tn1,
                        u" 7.TN/999-2345678902/P"_s})
            << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, QString(), u"999-2345678901"_s},
                             {u"李四"_s, u"440103198512125678"_s, QString()}};
        QTest::newRow("passport instead of identity card")
            << display({u" 1.张三 2.李四 HXYZ12"_s, seg, u" 4.SSR FOID CA HK1 PPE12345678/P1"_s,
                        u" 5.SSR FOID CA HK1 IDX7788/P2"_s, foid2, tn1, tn2})
            << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, u"E12345678"_s, u"999-2345678901"_s},
                             {u"李四"_s, u"X7788"_s, u"999-2345678902"_s}};
        QTest::newRow("document elements for those still without")
            << display({u" 1.张三 2.李四 HXYZ12"_s, seg,
                        u" 4.SSR DOCS CA HK1 P/CHN/E00000009/CHN/01JAN25/MI/04SEP30/LI/BAO/P2"_s,
                        u" 5.SSR DOCS CA HK1 P/CHN/ E00000001 /CHN/22DEC89/M/04SEP22/SU/DONG/P1"_s,
                        u" 6.SSR DOCS CA HK1 P/CHN/E00000002/CHN/22DEC89/F/04SEP22/LI/PEI/P2"_s,
                        foid1, tn1, tn2})
            << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, u"110101199001011234"_s, u"999-2345678901"_s},
                             {u"李四"_s, u"E00000002"_s, u"999-2345678902"_s}};
        QTest::newRow("single passenger takes the first lines")
            << display({u" 1.张三 HXYZ12"_s, element(2, u"  "_s + PekSha),
                        u" 3.SSR FOID CA HK1 NI110101199001011234/P3"_s,
                        u" 4.TN/999-2345678901/P7"_s})
            << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, u"110101199001011234"_s, u"999-2345678901"_s}};
        QTest::newRow("single passenger without lines")
            << display({u" 1.张三 HXYZ12"_s, element(2, u"  "_s + PekSha)}) << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, QString(), QString()}};
        QTest::newRow("code alone after a wrapped list")
            << display({u" 1.ZHANG/SAN 2.LI/SI"_s, u"    PZ4K8M"_s, seg}) << u"PZ4K8M"_s
            << PassengerList{{u"ZHANG/SAN"_s, QString(), QString()},
                             {u"LI/SI"_s, QString(), QString()}};
        QTest::newRow("five-character code")
            << display({u" 1.张三 HXYZ1"_s, element(2, u"  "_s + PekSha)}) << u"HXYZ1"_s
            << PassengerList{{u"张三"_s, QString(), QString()}};
        QTest::newRow("name line shorter than a code")
            << display({u" 1.AB"_s, element(2, u"  "_s + PekSha)}) << u"AB"_s
            << PassengerList{{QString(), QString(), QString()}};
        QTest::newRow("empty name piece")
            << display({u" 1."_s, element(2, u"  "_s + PekSha)}) << QString()
            << PassengerList{{QString(), QString(), QString()}};
        QTest::newRow("group's line without a code")
            << display({u" 0.2ZJTUAN NM2"_s, u" 1.张三 2.李四 HXYZ12"_s, seg}) << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, QString(), QString()}, {u"李四"_s, QString(), QString()}};
        QTest::newRow("group's code, its copy after the names dropped")
            << display({u" 0.2ZJTUAN NM2 KQ4M7X"_s, u" 1.ZHANG/SAN MR 2.LI/SI MR KQ4M7X"_s, seg})
            << u"KQ4M7X"_s
            << PassengerList{{u"ZHANG/SAN MR"_s, QString(), QString()},
                             {u"LI/SI MR"_s, QString(), QString()}};
        QTest::newRow("name cut after a blank, wrapped ticket element")
            << display({u" 1.SMITH/JOHN "_s, u"MR 2.LI/SI HXYZ12"_s, seg,
                        u" 4.SSR TKNE CA HK1 PEKSHA 1501 Y15MAY 9992100000012/1/-"_s, u"    P2"_s})
            << u"HXYZ12"_s
            << PassengerList{{u"SMITH/JOHN MR"_s, QString(), QString()},
                             {u"LI/SI"_s, QString(), u"999-2100000012"_s}};
        QTest::newRow("two infants' passports in order, a ticket ends at its line")
            << display({u" 1.张三 HXYZ12"_s, element(2, u"  "_s + PekSha),
                        u" 3.XN/IN/ZHANG/DA(JAN26)/P1"_s, u" 4.XN/IN/ZHANG/ER(JAN26)/P1"_s,
                        u" 5.SSR DOCS CA HK1 P/CHN/E01/CHN/01JAN26/MI/01JAN31/ZHANG/DA/P1"_s,
                        u" 6.SSR DOCS CA HK1 P/CHN/E02/CHN/01JAN26/FI/01JAN31/ZHANG/ER/P1"_s,
                        u" 7.SSR DOCS CA HK1 P/CHN/E00/CHN/01JAN90/M/01JAN31/ZHANG/SAN/P1"_s,
                        u" 8.TN/999-2345678901"_s, u" 9.FP/CASH,CNY/P1"_s})
            << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, u"E00"_s, u"999-2345678901"_s},
                             {u"ZHANG/DA"_s, u"E01"_s, QString()},
                             {u"ZHANG/ER"_s, u"E02"_s, QString()}};
        QTest::newRow("empty piece between passengers")
            << display({u" 1. 2.李四 HXYZ12"_s, seg}) << u"HXYZ12"_s
            << PassengerList{{QString(), QString(), QString()}, {u"李四"_s, QString(), QString()}};
    }
    void passengers() {
        QFETCH(QString, text);
        QFETCH(QString, recordCode);
        QFETCH(PassengerList, passengers);
        Itinerary sheet;
        RecordingMessages messages;
        importBookingDisplay(text, sheet, messages, FixedClock(Today));

        QCOMPARE(sheet.passengers(), passengers);
        QCOMPARE(sheet.text(3), recordCode);
        QCOMPARE(sheet.text(4), recordCode);
        QCOMPARE(sheet.text(0), passengers.first().name);
        QCOMPARE(sheet.text(1), passengers.first().idNumber);
        QCOMPARE(sheet.text(34), passengers.first().ticketNumber);
        QCOMPARE(sheet.currentPassenger(), qint16(0));
        QVERIFY(!sheet.previousEnabled());
        QCOMPARE(sheet.nextEnabled(), passengers.size() > 1);
        QCOMPARE(messages.shown(), QList<Shown>());
    }

    // Realistic displays as pasted from the terminal.
    void displays_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("recordCode");
        QTest::addColumn<PassengerList>("passengers");
        QTest::addColumn<FieldTexts>("fields");

        QTest::newRow("one passenger, round trip")
            << u"one_passenger.txt"_s << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, u"110101199001011234"_s, u"999-2345678901"_s}}
            << FieldTexts{{13, u"上海虹桥   T2"_s}, {15, u"MU5102"_s},    {16, u"B"_s},
                          {21, u"北京   T2"_s},     {22, u"VOID"_s},      {29, u"VOID"_s},
                          {30, u"CNY 2130.00"_s},   {31, u"CN 100.00"_s}, {32, u"YQ 160.00"_s},
                          {33, u"CNY 2390.00"_s}};
        QTest::newRow("two passengers on one line")
            << u"two_passengers_one_line.txt"_s << u"HXYZ12"_s
            << PassengerList{{u"张三"_s, u"110101199001011234"_s, u"784-2101234567"_s},
                             {u"李四"_s, u"440103198512125678"_s, u"784-2101234568"_s}}
            << FieldTexts{{5, u"广州   T2"_s}, {13, u"北京   T2"_s}, {14, u"VOID"_s}};
        QTest::newRow("two passengers on separate lines")
            << u"two_passengers_separate_lines.txt"_s << u"JX8K2P"_s
            << PassengerList{{u"王小明"_s, u"320102199101012222"_s, u"880-2345000001"_s},
                             {u"李小红"_s, u"320102199203031111"_s, u"880-2345000002"_s}}
            << FieldTexts{{5, u"北京   T1"_s}, {13, u"海口   "_s}};
        PassengerList nine;
        const QStringList nineNames{u"WANG/XIAOMING"_s, u"LI/XIAOHONG"_s, u"ZHANG/WEI"_s,
                                    u"LIU/YANG"_s,      u"CHEN/JING"_s,   u"YANG/LEI"_s,
                                    u"ZHAO/MIN"_s,      u"HUANG/QIANG"_s, u"ZHOU/JIE"_s};
        for (int i = 0; i < nineNames.size(); ++i)
            nine.append({nineNames[i], u"11010119900101100%1"_s.arg(i + 1),
                         u"781-23456789%1"_s.arg(i + 1, 2, 10, QLatin1Char('0'))});
        QTest::newRow("nine passengers, three segments")
            << u"nine_passengers.txt"_s << u"MN3Q7T"_s << nine
            << FieldTexts{{29, u"上海虹桥   T2"_s}, {57, u"VOID"_s}, {51, u"VOID"_s}};
        QTest::newRow("twelve passengers, four segments")
            << u"twelve_passengers.txt"_s << u"JX8K2P"_s << twelvePassengers()
            << FieldTexts{{29, u"昆明   "_s}, {57, u"东航"_s}, {51, u"北京   T3"_s}};
        PassengerList six;
        for (int i = 0; i < 6; ++i) {
            six.append({nineNames[i], u"4403041995"_s + twoDigits(i + 1) + u"017777"_s,
                        u"479-21000000%1"_s.arg(i + 1, 2, 10, QLatin1Char('0'))});
        }
        QTest::newRow("record code alone, fare line wrapped")
            << u"wrapped_code_alone.txt"_s << u"PZ4K8M"_s << six
            << FieldTexts{{31, u"CN 50.00"_s}, {32, u"YQ 120.50"_s}, {33, u"CNY 2120.50"_s}};
        QTest::newRow("exempt tax, LF line ends")
            << u"exempt_tax_lf.txt"_s << u"MQ2W9Z"_s
            << PassengerList{{u"赵敏"_s, u"370102198808084444"_s, u"324-2123456789"_s}}
            << FieldTexts{{13, u"广州   T2"_s}, {30, u"CNY 990.00"_s}, {31, u"CN 50.00"_s},
                          {32, u"YQ 0.00"_s},   {58, u"XT 0.00"_s},    {33, u"CNY 1040.00"_s}};
        QTest::newRow("international: passports, ticket elements")
            << u"international.txt"_s << u"HXYZ34"_s
            << PassengerList{{u"DONG/SU"_s, u"E12345678"_s, u"999-2100000011"_s},
                             {u"LI/MING"_s, u"E87654321"_s, u"999-2100000012"_s}}
            << FieldTexts{{30, u"CNY 6000.00"_s},
                          {31, u"CN 90.00"_s},
                          {32, u"YQ 1200.00"_s},
                          {58, u"XT 290.00"_s},
                          {33, u"CNY 7580.00"_s}};
        // The adult's fare element wraps inside its total.
        const auto fares = [](const QString &fare, const QString &fund, const QString &total) {
            return FareRow{u"CNY "_s + fare, u"CN "_s + fund, u"YQ 0.00"_s, u"XT 0.00"_s,
                           u"CNY "_s + total};
        };
        QTest::newRow("adult, child and infant, each with its fare")
            << u"family_fares.txt"_s << u"HXYZ56"_s
            << PassengerList{{u"ZHANG/SAN"_s, u"110101198001011234"_s, u"999-2100000001"_s,
                              fares(u"1000.00"_s, u"50.00"_s, u"1050.00"_s)},
                             {u"ZHANG/XIAOMING CHD"_s, u"110101201501015678"_s, u"999-2100000002"_s,
                              fares(u"500.00"_s, u"0.00"_s, u"500.00"_s)},
                             {u"ZHANG/XIAOBAO INF"_s, QString(), u"999-2100000003"_s,
                              fares(u"100.00"_s, u"0.00"_s, u"100.00"_s)}}
            << FieldTexts{{30, u"CNY 1000.00"_s}, {33, u"CNY 1050.00"_s}};
        // The group's line gives the code and no passenger; a name cut at the row's end.
        PassengerList group;
        for (const QString &name : u"CHEN/JIANGUO CHEN/XIULAN DENG/HAIBO FANG/LIJUAN GAO/ZHIQIANG "
                                   "GUO/MEIHUA HE/JUNJIE HU/YUFEN"_s.split(u' ')) {
            const QString n = twoDigits(int(group.size()) + 1);
            group.append({name, u"EA10000"_s + n, u"781-24001000"_s + n});
        }
        QTest::newRow("tour group") << u"group_tour.txt"_s << u"KQ4M7X"_s << group
                                    << FieldTexts{{5, u"上海浦东   T1"_s},
                                                  {13, u"首尔仁川   T1"_s},
                                                  {58, u"XT 136.00"_s},
                                                  {33, u"CNY 2856.00"_s}};
        QTest::newRow("codeshare, no times")
            << u"codeshare.txt"_s << u"HX3K7W"_s
            << PassengerList{{u"ZHOU/MINGHUI"_s, u"310104198503152816"_s, u"781-2456700001"_s},
                             {u"ZHOU/YUTONG CHD"_s, u"310104201106204427"_s, u"781-2456700002"_s}}
            << FieldTexts{{5, u"上海虹桥   "_s}, {6, u"东航"_s},       {7, u"MU5101"_s},
                          {10, u"10:35"_s},      {13, u"北京   T2"_s}, {18, QString()}};
        const auto row = [](const QString &fare, const QString &fund, const QString &fuel,
                            const QString &other, const QString &total) {
            return FareRow{u"CNY "_s + fare, u"CN "_s + fund, u"YQ "_s + fuel, u"XT "_s + other,
                           u"CNY "_s + total};
        };
        const FareRow adult = row(u"4800.00"_s, u"90.00"_s, u"420.00"_s, u"130.00"_s, u"5440.00"_s);
        QTest::newRow("joined screen rows, page codes")
            << u"joined_rows.txt"_s << u"JR5T8N"_s
            << PassengerList{{u"欧阳晓明"_s, u"EB2000001"_s, u"999-2310000001"_s, adult},
                             {u"欧阳丽华"_s, u"EB2000002"_s, u"999-2310000002"_s, adult},
                             {u"欧阳子轩CHD"_s, u"EB2000003"_s, u"999-2310000003"_s,
                              row(u"3600.00"_s, u"0.00"_s, u"420.00"_s, u"40.00"_s, u"4060.00"_s)}}
            << FieldTexts{{7, u"CA925"_s}, {13, u"东京成田   T1"_s}};
        const FareRow tour = row(u"1880.00"_s, u"90.00"_s, u"0.00"_s, u"2510.00"_s, u"4480.00"_s);
        QTest::newRow("inclusive-tour fares, infant's priced by hand")
            << u"tour_fare_family.txt"_s << u"TK8P3Z"_s
            << PassengerList{{u"LIN/HAIYANG"_s, u"EC3000001"_s, u"217-2420000001"_s, tour},
                             {u"LIN/XIAOYU"_s, u"EC3000002"_s, u"217-2420000002"_s, tour},
                             {u"LIN/DUODUO CHD"_s, u"EC3000003"_s, u"217-2420000003"_s,
                              row(u"1410.00"_s, u"0.00"_s, u"0.00"_s, u"2600.00"_s, u"4010.00"_s)},
                             {u"LIN/XIAOBAO INF"_s, QString(), u"217-2420000004"_s,
                              row(u"188.00"_s, u"0.00"_s, u"0.00"_s, u"0.00"_s, u"188.00"_s)}}
            << FieldTexts{{30, u"CNY 1880.00"_s}, {33, u"CNY 4480.00"_s}};
        const FareRow family = row(u"3200.00"_s, u"90.00"_s, u"360.00"_s, u"0.00"_s, u"3650.00"_s);
        QTest::newRow("infant's passport, wrapped passport")
            << u"infant_passports.txt"_s << u"PN6W2D"_s
            << PassengerList{{u"SUN/WEIDONG MR"_s, u"ED4000001"_s, u"160-2430000001"_s, family},
                             {u"SUN/HUIFANG MS"_s, u"ED4000002"_s, u"160-2430000002"_s, family},
                             {u"SUN/HAOYU CHD"_s, u"ED4000003"_s, u"160-2430000003"_s, family},
                             {u"ZHAOQIAN/GUILANXIANGYU MS"_s, u"ED4000004"_s, u"160-2430000004"_s,
                              family},
                             {u"SUN/XIAOMAN INF"_s, u"ED4000005"_s, u"160-2430000005"_s,
                              row(u"320.00"_s, u"0.00"_s, u"0.00"_s, u"0.00"_s, u"320.00"_s)}}
            << FieldTexts{{5, u"北京   T3"_s}};
    }
    void displays() {
        QFETCH(QString, file);
        QFETCH(QString, recordCode);
        QFETCH(PassengerList, passengers);
        QFETCH(FieldTexts, fields);
        Itinerary sheet;
        RecordingMessages messages;
        importBookingDisplay(fixture(file), sheet, messages, FixedClock(Today));

        QCOMPARE(messages.shown(), QList<Shown>());
        QCOMPARE(sheet.text(3), recordCode);
        QCOMPARE(sheet.passengers(), passengers);
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            QCOMPARE(sheet.text(it.key()), it.value());

        // Stepping through the list shows every passenger in turn.
        QCOMPARE(sheet.nextEnabled(), passengers.size() > 1);
        for (qsizetype i = 0; i < passengers.size(); ++i) {
            if (i > 0)
                sheet.showNextPassenger();
            QCOMPARE(sheet.text(0), passengers[i].name);
            QCOMPARE(sheet.text(1), passengers[i].idNumber);
            QCOMPARE(sheet.text(34), passengers[i].ticketNumber);
            if (const auto &row = passengers[i].fares)
                QCOMPARE(sheet.texts().mid(30, 4) + sheet.texts().mid(58),
                         (QStringList{row->fare, row->developmentFund, row->fuelSurcharge,
                                      row->total, row->otherTaxes}));
        }
        QVERIFY(!sheet.nextEnabled());
    }

    // The terminal gives CR LF, a Linux clipboard LF, some tools CR: all import alike.
    void lineEndsDoNotMatter_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("one passenger") << u"one_passenger.txt"_s;
        QTest::newRow("record code alone") << u"wrapped_code_alone.txt"_s;
        QTest::newRow("twelve passengers") << u"twelve_passengers.txt"_s;
    }
    void lineEndsDoNotMatter() {
        QFETCH(QString, file);
        const QString crlf = fixture(file);
        QVERIFY(crlf.contains(u"\r\n"_s));
        QString lf = crlf;
        lf.replace(u"\r\n"_s, u"\n"_s);
        QString cr = crlf;
        cr.replace(u"\r\n"_s, u"\r"_s);
        QString mixed = crlf;
        mixed.replace(mixed.indexOf(u"\r\n"_s), 2, u"\n"_s);

        const QStringList texts{crlf, lf, cr, mixed};
        State reference;
        for (qsizetype i = 0; i < texts.size(); ++i) {
            Itinerary sheet;
            RecordingMessages messages;
            importBookingDisplay(texts[i], sheet, messages, FixedClock(Today));
            QCOMPARE(messages.shown(), QList<Shown>());
            if (i == 0)
                reference = stateOf(sheet);
            else
                QCOMPARE(stateOf(sheet), reference);
        }
    }

    // A second booking leaves nothing of the first where it writes or clears: the sheet is
    // the one a fresh import of the second gives, apart from the operator's own fields.
    void secondBookingReplacesTheFirst_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("twelve, then one") << u"twelve_passengers.txt"_s << u"one_passenger.txt"_s;
        QTest::newRow("four segments, then one")
            << u"twelve_passengers.txt"_s << u"two_passengers_one_line.txt"_s;
        QTest::newRow("taxes, then an exempt tax")
            << u"wrapped_code_alone.txt"_s << u"exempt_tax_lf.txt"_s;
        QTest::newRow("one, then twelve") << u"one_passenger.txt"_s << u"twelve_passengers.txt"_s;
        QTest::newRow("three segments, then two")
            << u"nine_passengers.txt"_s << u"one_passenger.txt"_s;
    }
    void secondBookingReplacesTheFirst() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        Itinerary fresh;
        RecordingMessages freshMessages;
        importBookingDisplay(fixture(second), fresh, freshMessages, FixedClock(Today));

        Itinerary sheet;
        RecordingMessages messages;
        importBookingDisplay(fixture(first), sheet, messages, FixedClock(Today));
        sheet.showNextPassenger(); // the operator had moved on in the first list
        importBookingDisplay(fixture(second), sheet, messages, FixedClock(Today));
        QCOMPARE(stateOf(sheet), stateOf(fresh));
        QCOMPARE(messages.shown(), QList<Shown>());
    }

    void flowStopsEarly_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<Shown>>("shown");
        QTest::addColumn<bool>("segmentsWritten");
        // clang-format off
        QTest::newRow("empty text")          << QString() << QList<Shown>{} << false;
        QTest::newRow("blanks only")         << u"   "_s  << QList<Shown>{{u"错误提示"_s, u"没有找到航段信息"_s}} << false;
        QTest::newRow("line end only")       << u"\n"_s   << QList<Shown>{{u"错误提示"_s, u"没有找到航段信息"_s}} << false;
        QTest::newRow("no segment marker")
            << display({u" 1.张三 HXYZ12"_s, u" 2. CA1501 Y 15MAY PEKSHA"_s, u" 3."_s + UsualFareLine})
            << QList<Shown>{{u"错误提示"_s, u"没有找到航段信息"_s}} << false;
        QTest::newRow("markers, but no flight")
            << booking({u"  ARNK              SHACAN"_s, u"CA1501 Y   TU15"_s}, {UsualFareLine})
            << QList<Shown>{{u"错误提示"_s, u"没有找到航段信息"_s}} << false;
        QTest::newRow("empty segment text")
            << u" 1.张三 HXYZ12\r\n 2.  "_s << QList<Shown>{{u"错误提示"_s, u"没有找到航段信息"_s}} << false;
        QTest::newRow("booking cancelled whole")
            << fixture(u"cancelled.txt"_s) << QList<Shown>{{u"错误提示"_s, u"该订座记录已全部取消"_s}} << false;
        QTest::newRow("no passenger dot")
            << u"张三 HXYZ12\r\n2.  "_s + PekSha + u"\r\n3."_s + UsualFareLine
            << QList<Shown>{{QString(), u"没有找到乘机人信息"_s}} << true;
        // clang-format on
    }
    // The import clears first and then stops where the text runs out; what it wrote before
    // a message stays, and the earlier passenger list is kept.
    void flowStopsEarly() {
        QFETCH(QString, text);
        QFETCH(QList<Shown>, shown);
        QFETCH(bool, segmentsWritten);
        Itinerary sheet;
        RecordingMessages messages;
        importBookingDisplay(fixture(u"two_passengers_one_line.txt"_s), sheet, messages,
                             FixedClock(Today));
        sheet.showNextPassenger();
        const PassengerList earlier = sheet.passengers();
        const QStringList before = sheet.texts();
        messages.clear();

        importBookingDisplay(text, sheet, messages, FixedClock(Today));
        QCOMPARE(messages.shown(), shown);
        QCOMPARE(sheet.currentPassenger(), qint16(0));
        QVERIFY(!sheet.previousEnabled());
        QVERIFY(!sheet.nextEnabled());
        QCOMPARE(sheet.passengers(), earlier);
        for (int field : {0, 1, 3, 4, 34})
            QCOMPARE(sheet.text(field), QString());
        QCOMPARE(sheet.text(7), segmentsWritten ? u"CA1501"_s : QString());
        QCOMPARE(sheet.text(31), segmentsWritten ? u"CN 50.00"_s : before.at(31));
        QCOMPARE(sheet.text(32), segmentsWritten ? u"YQ 80.00"_s : before.at(32));
        for (int field : {2, 35, 36, 37, 38, 39, 40, 41, 42, 49})
            QCOMPARE(sheet.text(field), before.at(field));
    }

    // Texts built to make cutting go wrong: each imports without failing, and what can be
    // read is read.
    void hostileTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("recordCode");
        QTest::addColumn<int>("passengerCount");
        const QString flight = u"\r\n9.  "_s + PekSha;
        // clang-format off
        QTest::newRow("marker only")              << u".  "_s                  << QString() << -1;
        QTest::newRow("marker first")             << u".  .  .  .  .  .  "_s   << QString() << -1;
        QTest::newRow("dots only")                << u"....  "_s + PekSha      << QString() << 3;
        QTest::newRow("ordinal markers at end")   << u"1.A 2.B C"_s + flight + u"\r\n3.  x/P"_s << u"C"_s    << 2;
        QTest::newRow("fare markers only")        << u"1.X"_s + flight + u"\r\n2.  FN/A/FCNY/TCNY/TCNYACNY/FN/A/IN/ACNY/P/P1/FN/A/"_s << u"X"_s << 1;
        QTest::newRow("identity markers only")    << u"1.A 2.B C"_s + flight + u"\r\n3.  SSR FOID NI/P1SSR FOID /P2NISSR DOCS /P1SSR DOCS ///P2"_s << u"C"_s << 2;
        QTest::newRow("huge ordinal")             << u"1.A 2.B C"_s + flight + u"\r\n3.  SSR FOID NI1/P99999999999999999999999SSR FOID NI2/P2"_s << u"C"_s << 2;
        QTest::newRow("ticket and infant markers") << u"1.A"_s + flight + u"\r\n.TN/IN/.TN//PSSR TKNE INF/PXN/IN/(/PXN/IN/)/P1"_s << u"A"_s << 3;
        // clang-format on
        const QString nul = QString(QChar(0)) + QChar(0xD83D);
        QTest::newRow("NUL dropped, lone surrogates kept")
            << u"1."_s + nul + u"\r\n2.  "_s + PekSha + QChar(0xDE00) + QChar(0)
            << QString(QChar(0xD83D)) << 1;
    }
    void hostileTexts() {
        QFETCH(QString, text);
        QFETCH(QString, recordCode);
        QFETCH(int, passengerCount);
        Itinerary sheet;
        RecordingMessages messages;
        importBookingDisplay(text, sheet, messages, FixedClock(Today));
        QCOMPARE(sheet.text(3), recordCode);
        QCOMPARE(sheet.hasPassengerList() ? int(sheet.passengers().size()) : -1, passengerCount);
        QCOMPARE(sheet.text(12), passengerCount < 0 ? QString() : u"20K"_s);
    }

    // Work stays linear in the text: a few megabytes of markers import within the test's
    // time limit, also under the sanitizers.
    void largeTextsStayFast() {
        QString text = u"1."_s.repeated(20000) + u"A HXYZ12\r\n"_s;
        text += (u".  "_s + PekSha).repeated(2000);
        text += u"\r\nFN/A/FCNY1/"_s + u"TCNY"_s + u"9"_s.repeated(100000) + u"XT"_s;
        text += u"/TCNY0.01XT"_s.repeated(20000);
        text += u"SSR FOID NI1/P1"_s.repeated(20000) + u".TN/1/P"_s.repeated(20000);
        text += u"XN/IN/A(B/P1"_s.repeated(20000) + u"FN/A/IN/ACNY1/P1/2"_s.repeated(20000);
        text += u"SSR DOCS A/B/C/P1SSR TKNE 1234567890123/P2"_s.repeated(20000);
        Itinerary sheet;
        RecordingMessages messages;
        QElapsedTimer timer;
        timer.start();
        importBookingDisplay(text, sheet, messages, FixedClock(Today));
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(sheet.passengers().size(), 40000);
        QCOMPARE(sheet.text(58), u"XT 1"_s + u"0"_s.repeated(99997) + u"199.00"_s);
    }
};

QTEST_GUILESS_MAIN(TestBookingDisplayImport)
#include "tst_bookingdisplayimport.moc"
