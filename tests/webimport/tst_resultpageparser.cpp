#include "ResultTableBuilder.h"

#include "base/Messages.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "webimport/ResultPageParser.h"

#include <QSignalSpy>
#include <QTest>

#include <utility>

using namespace itinerary;
using namespace Qt::StringLiterals;

// Field index and the text expected in it.
using FieldValues = QList<std::pair<int, QString>>;
Q_DECLARE_METATYPE(FieldValues)

namespace {

const QString Unrecognised = u"无法识别验真结果页面"_s;

// The sheet a complete default table gives, starting from the design defaults.
QStringList expectedDefaultSheet() {
    QStringList fields = Itinerary().texts();
    const FieldValues written{
        {0, u"张伟"_s},
        {2, u"不得签转 改期收费"_s},
        {5, u"北京首都 T3"_s},
        {13, u"上海虹桥 T2"_s},
        {21, u"北京首都 T3"_s},
        {6, u"国航"_s},
        {14, u"东航"_s},
        {7, u"CA1501"_s},
        {15, u"MU5102"_s},
        {8, u"Y"_s},
        {16, u"B"_s},
        {9, u"2026-03-15"_s},
        {17, u"2026-03-18"_s},
        {10, u"08:00"_s},
        {18, u"19:30"_s},
        {11, u"Y"_s},
        {19, u"BOW"_s},
        {12, u"20K"_s},
        {20, u"20K"_s},
        {30, u"CNY 2260.00"_s},
        {31, u"100.00"_s},
        {32, u"CNY120.00"_s},
        {58, u"0.00"_s},
        {33, u"CNY 2480.00"_s},
        {34, u"9991234567890"_s},
        {36, u"仅供验真&报销"_s},
    };
    for (const auto &[index, text] : written)
        fields[index] = text;
    return fields;
}

// Every field holds a text of its own, so that any write or clearing shows.
void fillEveryField(Itinerary &sheet) {
    for (int i = 0; i < FieldCount; ++i) {
        if (i != Field::RecordCodeMirror) // follows field 3
            sheet.setText(i, u"OLD%1"_s.arg(i));
    }
}

QStringList cityColumnFields() {
    return {u"5"_s, u"13"_s, u"21"_s, u"29"_s};
}

} // namespace

class TestResultPageParser final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void completeTableFillsTheSheet() {
        Itinerary sheet;
        RecordingMessages messages;
        QVERIFY(readResultTable(ResultTableBuilder().markup(), sheet, messages));
        QCOMPARE(sheet.texts(), expectedDefaultSheet());
        QVERIFY(messages.shown().isEmpty());
    }

    void writesInTheSpecifiedOrder() {
        Itinerary sheet;
        for (int index : clearedBeforeImportFields())
            sheet.setText(index, QString());
        ResultTableBuilder table;
        // Four distinct entries in every column, so that every row-4 field is written too.
        table.segments[1] = ResultTableBuilder::divCell(u"A<BR>B<BR>C<BR>D</DIV>"_s);
        for (int cell : {3, 4, 5, 6, 7, 8, 11})
            table.segments[cell] = ResultTableBuilder::divCell(u"E%1<BR>F<BR>G<BR>H"_s.arg(cell));
        QSignalSpy spy(&sheet, &Itinerary::textChanged);
        RecordingMessages messages;
        QVERIFY(readResultTable(table.markup(), sheet, messages));
        QList<int> order;
        for (const QList<QVariant> &signal : spy) {
            const int index = signal.at(0).toInt();
            if (order.isEmpty() || order.last() != index) // the change rule's own rewrites
                order.append(index);
        }
        const QList<int> expected{0,  2,  5,  13, 21, 29, 6,  14, 22, 57, 7,  15, 23, 56,
                                  8,  16, 24, 55, 9,  17, 25, 54, 10, 18, 26, 53, 11, 19,
                                  27, 52, 12, 20, 28, 50, 30, 31, 32, 58, 33, 34, 36};
        QCOMPARE(order, expected);
    }

    void segmentColumn_data() {
        QTest::addColumn<int>("cell");
        QTest::addColumn<QString>("cellText");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("recognised");
        const QString px = u"<TD><DIV style=\"width:80px\">"_s;
        const QStringList carrier{u"6"_s, u"14"_s, u"22"_s, u"57"_s};
        const QStringList fareBasis{u"11"_s, u"19"_s, u"27"_s, u"52"_s};
        const QStringList baggage{u"12"_s, u"20"_s, u"28"_s, u"50"_s};
        const QStringList cities = cityColumnFields();
        // clang-format off
        QTest::newRow("three cities: first after the marker, last before </")
            << 1 << px + u"PEK<BR>SHA<BR>CAN</DIV>"_s << cities << QStringList{u"PEK"_s, u"SHA"_s, u"CAN"_s, {}} << true;
        QTest::newRow("five cities: the fifth is dropped")
            << 1 << px + u"A<BR>B<BR>C<BR>D<BR>E</DIV>"_s << cities << QStringList{u"A"_s, u"B"_s, u"C"_s, u"D"_s} << true;
        QTest::newRow("four carriers reach row 4")
            << 3 << px + u"国航<BR>东航<BR>南航<BR>深航</DIV>"_s << carrier << QStringList{u"国航"_s, u"东航"_s, u"南航"_s, u"深航"_s} << true;
        QTest::newRow("four fare bases reach field 52")
            << 8 << px + u"Y<BR>B<BR>M<BR>H</DIV>"_s << fareBasis << QStringList{u"Y"_s, u"B"_s, u"M"_s, u"H"_s} << true;
        QTest::newRow("four baggage allowances reach field 50")
            << 11 << px + u"20K<BR>20K<BR>10K<BR>2PC</DIV>"_s << baggage << QStringList{u"20K"_s, u"20K"_s, u"10K"_s, u"2PC"_s} << true;
        QTest::newRow("one entry: closing tags cut off")
            << 3 << px + u"国航</DIV>"_s << carrier << QStringList{u"国航"_s, {}, {}, {}} << true;
        QTest::newRow("one entry: text after the closing tag cut off too")
            << 3 << px + u"国航</DIV>&nbsp;<SPAN>x</SPAN>"_s << carrier << QStringList{u"国航"_s, {}, {}, {}} << true;
        QTest::newRow("one entry without closing tag")
            << 3 << px + u"国航"_s << carrier << QStringList{u"国航"_s, {}, {}, {}} << true;
        QTest::newRow("one entry ends at a second pixel marker")
            << 3 << px + u"国航<DIV style=\"width:1px\">x"_s << carrier << QStringList{u"国航<DIV STYLE=\"WIDTH:1"_s, {}, {}, {}} << true;
        QTest::newRow("two entries: rows 3 and 4 stay empty")
            << 3 << px + u"国航<BR>东航</DIV>"_s << carrier << QStringList{u"国航"_s, u"东航"_s, {}, {}} << true;
        QTest::newRow("middle entry unchanged, blanks kept")
            << 3 << px + u"A<BR> b&nbsp;<BR>C</DIV>"_s << carrier << QStringList{u"A"_s, u" B "_s, u"C"_s, {}} << true;
        QTest::newRow("empty middle entry")
            << 3 << px + u"A<BR><BR>C</DIV>"_s << carrier << QStringList{u"A"_s, {}, u"C"_s, {}} << true;
        QTest::newRow("last entry cut at its first </")
            << 3 << px + u"A<BR>B</SPAN></DIV>"_s << carrier << QStringList{u"A"_s, u"B"_s, {}, {}} << true;
        QTest::newRow("character references decoded")
            << 3 << px + u"A&amp;B<BR>C&lt;D</DIV>"_s << carrier << QStringList{u"A&B"_s, u"C<D"_s, {}, {}} << true;
        QTest::newRow("lower case upper-cased by the sheet")
            << 4 << px + u"ca1501<BR>mu5102</DIV>"_s << QStringList{u"7"_s, u"15"_s, u"23"_s, u"56"_s}
            << QStringList{u"CA1501"_s, u"MU5102"_s, {}, {}} << true;
        QTest::newRow("exactly empty cell writes nothing")
            << 3 << QString() << carrier << QStringList{{}, {}, {}, {}} << true;
        QTest::newRow("cell of a bare tag lacks the marker")
            << 3 << u"<TD>"_s << carrier << QStringList{{}, {}, {}, {}} << false;
        QTest::newRow("first entry without the marker")
            << 3 << u"<TD><DIV>国航<BR>东航</DIV>"_s << carrier << QStringList{{}, {}, {}, {}} << false;
        QTest::newRow("empty first entry")
            << 3 << u"<BR>东航</DIV>"_s << carrier << QStringList{{}, {}, {}, {}} << false;
        QTest::newRow("empty last entry: earlier rows written")
            << 3 << px + u"国航<BR>东航<BR>"_s << carrier << QStringList{u"国航"_s, u"东航"_s, {}, {}} << false;
        // clang-format on
    }
    void segmentColumn() {
        QFETCH(int, cell);
        QFETCH(QString, cellText);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, values);
        QFETCH(bool, recognised);
        ResultTableBuilder table;
        table.segments[cell] = cellText;
        Itinerary sheet;
        fillEveryField(sheet);
        RecordingMessages messages;
        QCOMPARE(readResultTable(table.markup(), sheet, messages), recognised);
        for (int row = 0; row < SegmentRowCount; ++row)
            QCOMPARE(sheet.text(fields[row].toInt()), values[row]);
        QCOMPARE(messages.shown().size(), recognised ? 0 : 1);
    }

    void amounts_data() {
        QTest::addColumn<QStringList>("cells");  // the five cells' texts after their "<TD>"
        QTest::addColumn<QStringList>("values"); // fields 30, 31, 32, 58, 33
        const auto same = [](const QString &text) { return QStringList(5, text); };
        // clang-format off
        QTest::newRow("CNY and a space: removed from the taxes only")
            << same(u"CNY 50.0"_s)
            << QStringList{u"CNY 50.00"_s, u"50.00"_s, u"50.00"_s, u"50.00"_s, u"CNY 50.00"_s};
        QTest::newRow("CNY and &nbsp;: the prefix stays, without a space")
            << same(u"CNY&nbsp;50.0"_s) << same(u"CNY50.00"_s);
        QTest::newRow("bare number")          << same(u"50.0"_s)    << same(u"50.00"_s);
        QTest::newRow("no text: just the 0")  << same(QString())    << same(u"0"_s);
        QTest::newRow("&nbsp; inside the number") << same(u"1&nbsp;200.0"_s) << same(u"1200.00"_s);
        QTest::newRow("copied as shown")      << same(u"CNY 1,500.5"_s)
            << QStringList{u"CNY 1,500.50"_s, u"1,500.50"_s, u"1,500.50"_s, u"1,500.50"_s, u"CNY 1,500.50"_s};
        QTest::newRow("CNY found before the sheet upper-cases")
            << same(u"cny 50.0"_s) << same(u"CNY 50.00"_s);
        QTest::newRow("a reference decodes after CNY removal")
            << same(u"CNY&#32;50.0"_s) << same(u"CNY 50.00"_s);
        QTest::newRow("every CNY removed")
            << same(u"CNY CNY 5.0"_s)
            << QStringList{u"CNY CNY 5.00"_s, u"5.00"_s, u"5.00"_s, u"5.00"_s, u"CNY CNY 5.00"_s};
        // clang-format on
    }
    void amounts() {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, values);
        ResultTableBuilder table;
        table.amounts = {u"\n<TR>\n<TD>"_s + cells[0], u"<TD>"_s + cells[1], u"<TD>"_s + cells[2],
                         u"<TD>"_s + cells[3], u"<TD>"_s + cells[4]};
        Itinerary sheet;
        RecordingMessages messages;
        QVERIFY(readResultTable(table.markup(), sheet, messages));
        const QList<int> fields{30, 31, 32, 58, 33};
        for (int i = 0; i < fields.size(); ++i)
            QCOMPARE(sheet.text(fields[i]), values[i]);
    }

    void passengerAndTicketRows_data() {
        QTest::addColumn<QString>("nameCell");
        QTest::addColumn<QString>("endorsementCell");
        QTest::addColumn<QString>("ticketCell");
        QTest::addColumn<QString>("noticeCell");
        QTest::addColumn<FieldValues>("expected");
        const ResultTableBuilder d;
        const QString row = u"\n<TR>\n"_s;
        // clang-format off
        QTest::newRow("the usual page")
            << d.passenger[0] << d.passenger[2] << d.ticket[0] << d.ticket[2]
            << FieldValues{{0, u"张伟"_s}, {2, u"不得签转 改期收费"_s}, {34, u"9991234567890"_s}, {36, u"仅供验真&报销"_s}};
        QTest::newRow("name: text after the last > before the first </DIV>")
            << row + u"<TD><DIV style=\"x\"><B>ZHANG</B>wei</DIV><DIV>x</DIV>"_s << d.passenger[2] << d.ticket[0] << d.ticket[2]
            << FieldValues{{0, u"WEI"_s}};
        QTest::newRow("name without a division")
            << row + u"<TD>王芳"_s << d.passenger[2] << d.ticket[0] << d.ticket[2]
            << FieldValues{{0, u"王芳"_s}};
        QTest::newRow("name ending in a tag is empty")
            << row + u"<TD><DIV><B></DIV>"_s << d.passenger[2] << d.ticket[0] << d.ticket[2]
            << FieldValues{{0, QString()}};
        QTest::newRow("name references and &nbsp;")
            << row + u"<TD><DIV>zhang&nbsp;wei&#47;&amp;</DIV>"_s << d.passenger[2] << d.ticket[0] << d.ticket[2]
            << FieldValues{{0, u"ZHANG WEI/&"_s}};
        QTest::newRow("endorsement: each &nbsp; one space")
            << d.passenger[0] << u"<TD>不得签转&nbsp;&nbsp;不得退票&nbsp;"_s << d.ticket[0] << d.ticket[2]
            << FieldValues{{2, u"不得签转  不得退票 "_s}};
        QTest::newRow("endorsement with a reference")
            << d.passenger[0] << u"<TD>退改&amp;签"_s << d.ticket[0] << d.ticket[2]
            << FieldValues{{2, u"退改&签"_s}};
        QTest::newRow("empty endorsement")
            << d.passenger[0] << u"<TD>"_s << d.ticket[0] << d.ticket[2]
            << FieldValues{{2, QString()}};
        QTest::newRow("e-ticket number after the marker, before </DIV>")
            << d.passenger[0] << d.passenger[2] << row + u"<TD><DIV style=\"width:200px\">999-1234567890</DIV>x"_s << d.ticket[2]
            << FieldValues{{34, u"999-1234567890"_s}};
        QTest::newRow("notice with references and &nbsp;")
            << d.passenger[0] << d.passenger[2] << d.ticket[0] << u"<TD>联程&nbsp;客票&lt;1&gt;"_s
            << FieldValues{{36, u"联程 客票<1>"_s}};
        QTest::newRow("empty notice")
            << d.passenger[0] << d.passenger[2] << d.ticket[0] << u"<TD>"_s
            << FieldValues{{36, QString()}};
        // clang-format on
    }
    void passengerAndTicketRows() {
        QFETCH(QString, nameCell);
        QFETCH(QString, endorsementCell);
        QFETCH(QString, ticketCell);
        QFETCH(QString, noticeCell);
        QFETCH(FieldValues, expected);
        ResultTableBuilder table;
        table.passenger[0] = nameCell;
        table.passenger[2] = endorsementCell;
        table.ticket[0] = ticketCell;
        table.ticket[2] = noticeCell;
        Itinerary sheet;
        RecordingMessages messages;
        QVERIFY(readResultTable(table.markup(), sheet, messages));
        for (const auto &[index, text] : expected)
            QCOMPARE(sheet.text(index), text);
    }

    // A page that lacks a piece: the parse stops there, what was written stays, fields not
    // reached keep their text (or the emptiness the import starts with), one message.
    void missingPieceStopsTheParse_data() {
        QTest::addColumn<QString>("table"); // "<none>" for no third table
        QTest::addColumn<FieldValues>("expected");
        const auto build = [](auto change) {
            ResultTableBuilder t;
            change(t);
            return t.markup();
        };
        // clang-format off
        QTest::newRow("no third table")
            << u"<none>"_s << FieldValues{{0, {}}, {2, u"OLD2"_s}, {5, {}}, {30, u"OLD30"_s}, {36, u"OLD36"_s}};
        QTest::newRow("empty third table")
            << QString() << FieldValues{{0, {}}, {2, u"OLD2"_s}, {30, u"OLD30"_s}};
        QTest::newRow("a single row piece")
            << u"<TBODY><TR><TD>x</TD></TBODY>"_s << FieldValues{{0, {}}, {2, u"OLD2"_s}};
        QTest::newRow("empty passenger row")
            << u"<TR></TR></TR></TR>"_s << FieldValues{{0, {}}, {2, u"OLD2"_s}};
        QTest::newRow("empty name cell")
            << build([](ResultTableBuilder &t) { t.passenger[0].clear(); }) << FieldValues{{0, {}}, {2, u"OLD2"_s}};
        QTest::newRow("passenger row without the endorsement cell")
            << build([](ResultTableBuilder &t) { t.passenger = t.passenger.mid(0, 2); })
            << FieldValues{{0, u"张伟"_s}, {2, u"OLD2"_s}, {5, {}}};
        QTest::newRow("endorsement cell without its tag end")
            << build([](ResultTableBuilder &t) { t.passenger[2] = u"不得签转"_s; })
            << FieldValues{{0, u"张伟"_s}, {2, u"OLD2"_s}};
        QTest::newRow("no segment row")
            << build([](ResultTableBuilder &t) { t.rowCount = 3; })
            << FieldValues{{0, u"张伟"_s}, {2, u"不得签转 改期收费"_s}, {5, {}}, {30, u"OLD30"_s}};
        QTest::newRow("segment row of five cells")
            << build([](ResultTableBuilder &t) { t.segments = t.segments.mid(0, 5); })
            << FieldValues{{5, u"北京首都 T3"_s}, {6, u"国航"_s}, {7, u"CA1501"_s}, {15, u"MU5102"_s}, {8, {}}, {30, u"OLD30"_s}};
        QTest::newRow("segment row without the baggage cell")
            << build([](ResultTableBuilder &t) { t.segments = t.segments.mid(0, 11); })
            << FieldValues{{11, u"Y"_s}, {19, u"BOW"_s}, {12, {}}, {30, u"OLD30"_s}};
        QTest::newRow("no amount row")
            << build([](ResultTableBuilder &t) { t.rowCount = 4; })
            << FieldValues{{20, u"20K"_s}, {30, u"OLD30"_s}, {34, {}}};
        QTest::newRow("fare cell without the row's start tag")
            << build([](ResultTableBuilder &t) { t.amounts[0] = u"<TD>CNY 10.0"_s; })
            << FieldValues{{20, u"20K"_s}, {30, u"OLD30"_s}, {31, u"OLD31"_s}};
        QTest::newRow("amount row of three cells")
            << build([](ResultTableBuilder &t) { t.amounts = t.amounts.mid(0, 3); })
            << FieldValues{{30, u"CNY 2260.00"_s}, {31, u"100.00"_s}, {32, u"CNY120.00"_s}, {58, u"OLD58"_s}, {33, u"OLD33"_s}};
        QTest::newRow("no ticket row")
            << build([](ResultTableBuilder &t) { t.rowCount = 5; })
            << FieldValues{{33, u"CNY 2480.00"_s}, {34, {}}, {36, u"OLD36"_s}};
        QTest::newRow("e-ticket cell without the marker")
            << build([](ResultTableBuilder &t) { t.ticket[0] = u"\n<TR>\n<TD><DIV>9991234567890</DIV>"_s; })
            << FieldValues{{33, u"CNY 2480.00"_s}, {34, {}}, {36, u"OLD36"_s}};
        QTest::newRow("ticket row without the notice cell")
            << build([](ResultTableBuilder &t) { t.ticket = t.ticket.mid(0, 2); })
            << FieldValues{{34, u"9991234567890"_s}, {36, u"OLD36"_s}};
        // clang-format on
    }
    void missingPieceStopsTheParse() {
        QFETCH(QString, table);
        QFETCH(FieldValues, expected);
        Itinerary sheet;
        fillEveryField(sheet);
        sheet.setPreviousEnabled(true);
        sheet.setNextEnabled(true);
        RecordingMessages messages;
        const std::optional<QString> inner =
            table == u"<none>"_s ? std::nullopt : std::optional<QString>(table);
        QVERIFY(!readResultTable(inner, sheet, messages));
        for (const auto &[index, text] : expected)
            QCOMPARE(sheet.text(index), text);
        QCOMPARE(messages.shown(), (QList<RecordingMessages::Shown>{{QString(), Unrecognised}}));
        QVERIFY(!sheet.previousEnabled());
        QVERIFY(!sheet.nextEnabled());
    }

    // The marker test and the ready flag guard the whole sheet, passenger buttons included.
    void guardLeavesTheSheetAlone_data() {
        QTest::addColumn<bool>("pageReady");
        QTest::addColumn<QString>("document");
        const QString table = ResultTableBuilder().markup();
        const QString page = u"<HTML><BODY><P>印刷序号</P>"_s + table + u"</BODY></HTML>"_s;
        QTest::newRow("page not ready") << false << page;
        ResultTableBuilder withoutMarker;
        withoutMarker.rowCount = 6;
        QTest::newRow("no marker")
            << true << u"<HTML><BODY>"_s + withoutMarker.markup() + u"</BODY></HTML>"_s;
        QTest::newRow("marker cut in two") << true << u"<P>印刷<B>序号</B></P>"_s;
        QTest::newRow("empty document") << true << QString();
    }
    void guardLeavesTheSheetAlone() {
        QFETCH(bool, pageReady);
        QFETCH(QString, document);
        Itinerary sheet;
        fillEveryField(sheet);
        sheet.setPassengers({{u"A"_s, u"1"_s, u"T1"_s}, {u"B"_s, u"2"_s, u"T2"_s}});
        sheet.setCurrentPassenger(1);
        sheet.setPreviousEnabled(true);
        sheet.setNextEnabled(true);
        const QStringList before = sheet.texts();
        RecordingMessages messages;
        importResultPage(pageReady, document, ResultTableBuilder().markup(), sheet, messages);
        QCOMPARE(sheet.texts(), before);
        QVERIFY(sheet.previousEnabled());
        QVERIFY(sheet.nextEnabled());
        QCOMPARE(sheet.currentPassenger(), qint16(1));
        QVERIFY(messages.shown().isEmpty());
    }

    void guardRunsTheParseOnAReadyResultPage() {
        Itinerary sheet;
        sheet.setPreviousEnabled(true);
        sheet.setNextEnabled(true);
        RecordingMessages messages;
        importResultPage(true, u"<TD>印刷序号：123</TD>"_s, ResultTableBuilder().markup(), sheet,
                         messages);
        QCOMPARE(sheet.texts(), expectedDefaultSheet());
        QVERIFY(!sheet.previousEnabled());
        QVERIFY(!sheet.nextEnabled());
        QVERIFY(messages.shown().isEmpty());
    }

    // Fields the web import never writes keep their text; the passenger list, the current
    // passenger and the domestic/international flag stay.
    void leavesOtherFieldsAlone() {
        Itinerary sheet;
        fillEveryField(sheet);
        sheet.setIntlFlag(1);
        const PassengerList list{{u"A"_s, u"1"_s, u"T1"_s}, {u"B"_s, u"2"_s, u"T2"_s}};
        sheet.setPassengers(list);
        sheet.setCurrentPassenger(1);
        RecordingMessages messages;
        QVERIFY(readResultTable(ResultTableBuilder().markup(), sheet, messages));
        for (int index : {35, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49})
            QCOMPARE(sheet.text(index), u"OLD%1"_s.arg(index));
        QCOMPARE(sheet.intlFlag(), qint16(1));
        QCOMPARE(sheet.passengers(), list);
        QCOMPARE(sheet.currentPassenger(), qint16(1));
    }

    // No earlier booking's or page's fourth segment or final city survives a shorter page.
    void shorterPageLeavesNoOldFourthRow() {
        const QList<int> rowFourAndFinal{29, 50, 51, 52, 53, 54, 55, 56, 57};
        Itinerary sheet;
        // As a four-segment booking leaves it: every segment field and the final city.
        for (int row = 0; row < SegmentRowCount; ++row) {
            for (int column = 0; column < SegmentColumnCount; ++column)
                sheet.setText(segmentField(row, SegmentColumn(column)),
                              u"R%1C%2"_s.arg(row).arg(column));
        }
        sheet.setText(Field::FinalCity, u"深圳宝安"_s);
        RecordingMessages messages;
        QVERIFY(readResultTable(ResultTableBuilder().markup(), sheet, messages));
        for (int index : rowFourAndFinal)
            QCOMPARE(sheet.text(index), QString());
        QCOMPARE(sheet.text(22), QString());

        // A four-segment page, then a two-segment one.
        ResultTableBuilder four;
        for (int cell : {1, 3, 4, 5, 6, 7, 8, 11})
            four.segments[cell] = ResultTableBuilder::divCell(u"A<BR>B<BR>C<BR>D<BR>E"_s);
        QVERIFY(readResultTable(four.markup(), sheet, messages));
        for (int index : {29, 50, 52, 53, 54, 55, 56, 57})
            QCOMPARE(sheet.text(index), u"D"_s);
        QVERIFY(readResultTable(ResultTableBuilder().markup(), sheet, messages));
        for (int index : rowFourAndFinal)
            QCOMPARE(sheet.text(index), QString());
        QCOMPARE(sheet.text(42), u"R0C7"_s); // validity columns are kept
        QVERIFY(messages.shown().isEmpty());
    }

    void parsingAgainGivesTheSameSheet() {
        Itinerary sheet;
        RecordingMessages messages;
        const QString table = ResultTableBuilder().markup();
        QVERIFY(readResultTable(table, sheet, messages));
        sheet.setText(Field::Name, u"EDITED"_s);
        sheet.setText(Field::Fare, u"CNY 1.00"_s);
        QVERIFY(readResultTable(table, sheet, messages));
        QCOMPARE(sheet.texts(), expectedDefaultSheet());
    }
};

QTEST_APPLESS_MAIN(TestResultPageParser)
#include "tst_resultpageparser.moc"
