#include "webimport/ThirdTable.h"

#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
const QString Absent = u"<absent>"_s;
}

class TestThirdTable final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void takesTheThirdTable_data() {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("inner"); // Absent for no table
        // clang-format off
        QTest::newRow("three tables")         << u"<TABLE>a</TABLE><TABLE>b</TABLE><TABLE>c</TABLE>"_s  << u"c"_s;
        QTest::newRow("fourth ignored")       << u"<TABLE>a</TABLE><TABLE>b</TABLE><TABLE>c</TABLE><TABLE>d</TABLE>"_s
                                              << u"c"_s;
        QTest::newRow("two tables")           << u"<TABLE>a</TABLE><TABLE>b</TABLE>"_s                  << Absent;
        QTest::newRow("no table")             << u"<P>印刷序号</P>"_s                                    << Absent;
        QTest::newRow("empty")                << QString()                                               << Absent;
        QTest::newRow("nested ones count")    << u"<TABLE><TR><TD><TABLE>b</TABLE></TD></TR></TABLE><TABLE>c</TABLE>"_s
                                              << u"c"_s;
        QTest::newRow("third nested in second")
                                              << u"<TABLE>a</TABLE><TABLE><TABLE>c</TABLE>b</TABLE>"_s  << u"c"_s;
        QTest::newRow("inner holds nested")   << u"<TABLE></TABLE><TABLE></TABLE><TABLE>x<TABLE>y</TABLE>z</TABLE>w"_s
                                              << u"x<TABLE>y</TABLE>z"_s;
        QTest::newRow("attributes skipped")   << u"<TABLE></TABLE><TABLE></TABLE><TABLE class=\"r\" title=\"a>b\"><TBODY></TBODY></TABLE>"_s
                                              << u"<TBODY></TBODY>"_s;
        QTest::newRow("single-quoted >")      << u"<TABLE></TABLE><TABLE></TABLE><TABLE title='>'>x</TABLE>"_s << u"x"_s;
        QTest::newRow("end tag with blanks")  << u"<TABLE></TABLE><TABLE></TABLE><TABLE>x</TABLE >"_s   << u"x"_s;
        QTest::newRow("empty inner")          << u"<TABLE></TABLE><TABLE></TABLE><TABLE></TABLE>"_s     << QString();
        QTest::newRow("not closed")           << u"<TABLE></TABLE><TABLE></TABLE><TABLE>x<TR>"_s        << Absent;
        QTest::newRow("nested not closed")    << u"<TABLE></TABLE><TABLE></TABLE><TABLE>x<TABLE></TABLE>"_s << Absent;
        QTest::newRow("start tag not closed") << u"<TABLE></TABLE><TABLE></TABLE><TABLE title=\">"_s    << Absent;
        QTest::newRow("longer name no table") << u"<TABLEX><TABLE></TABLE><TABLE></TABLE><TABLE>c</TABLE>"_s << u"c"_s;
        QTest::newRow("lower case not counted")
                                              << u"<table></table><TABLE></TABLE><TABLE></TABLE><TABLE>c</TABLE>"_s << u"c"_s;
        QTest::newRow("comment not counted")  << u"<!-- <TABLE> --><TABLE></TABLE><TABLE></TABLE><TABLE>c</TABLE>"_s << u"c"_s;
        QTest::newRow("script not counted")   << u"<SCRIPT>\"<TABLE>\"</SCRIPT><TABLE></TABLE><TABLE></TABLE><TABLE>c</TABLE>"_s
                                              << u"c"_s;
        QTest::newRow("end tag in comment")   << u"<TABLE></TABLE><TABLE></TABLE><TABLE>a<!--</TABLE>-->b</TABLE>"_s
                                              << u"a<!--</TABLE>-->b"_s;
        QTest::newRow("stray end tags first") << u"</TABLE><TABLE></TABLE><TABLE></TABLE><TABLE>c</TABLE>"_s << u"c"_s;
        // clang-format on
    }
    void takesTheThirdTable() {
        QFETCH(QString, markup);
        QFETCH(QString, inner);
        const std::optional<QString> result = thirdTableInnerMarkup(markup);
        QCOMPARE(result.value_or(Absent), inner);
    }
};

QTEST_APPLESS_MAIN(TestThirdTable)
#include "tst_thirdtable.moc"
