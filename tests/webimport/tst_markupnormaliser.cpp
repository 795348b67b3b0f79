#include "webimport/MarkupNormaliser.h"

#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

class TestMarkupNormaliser final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void upperCasesTagNamesOnly_data() {
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("normalised");
        // clang-format off
        QTest::newRow("start and end tags")     << u"<td>a</td>"_s                 << u"<TD>a</TD>"_s;
        QTest::newRow("already upper case")      << u"<TD>a</TD>"_s                 << u"<TD>a</TD>"_s;
        QTest::newRow("mixed case")              << u"<Tr><tD>"_s                   << u"<TR><TD>"_s;
        QTest::newRow("name with digits")        << u"<h1>x</h1>"_s                 << u"<H1>x</H1>"_s;
        QTest::newRow("line break and slash")    << u"a<br>b<br/>c"_s               << u"a<BR>b<BR/>c"_s;
        QTest::newRow("attributes untouched")    << u"<div Style=\"width:80px\">"_s << u"<DIV Style=\"width:80px\">"_s;
        QTest::newRow("tag in quoted value")     << u"<a title=\"<b>x</b>\">y</a>"_s << u"<A title=\"<b>x</b>\">y</A>"_s;
        QTest::newRow("single-quoted value")     << u"<a title='<b>'>"_s            << u"<A title='<b>'>"_s;
        QTest::newRow("> inside quoted value")   << u"<td title=\"a>b\"><i>"_s      << u"<TD title=\"a>b\"><I>"_s;
        QTest::newRow("quote not after =")       << u"<td a\"b><i>\">"_s            << u"<TD a\"b><I>\">"_s;
        QTest::newRow("unquoted value")          << u"<td class=x><i>"_s            << u"<TD class=x><I>"_s;
        QTest::newRow("unclosed quote")          << u"<td title=\"<b>"_s            << u"<TD title=\"<b>"_s;
        QTest::newRow("only ASCII name part")    << u"<my-tag><x:y>"_s              << u"<MY-tag><X:y>"_s;
        QTest::newRow("end tag with blanks")     << u"</td >"_s                     << u"</TD >"_s;
        QTest::newRow("comment kept")            << u"<!-- <table> --><p>"_s        << u"<!-- <table> --><P>"_s;
        QTest::newRow("comment closed by --!>")  << u"<!-- <a> --!><b>"_s           << u"<!-- <a> --!><B>"_s;
        QTest::newRow("empty comment")           << u"<!--><b>"_s                   << u"<!--><B>"_s;
        QTest::newRow("empty comment, 3 dashes") << u"<!---><b>"_s                  << u"<!---><B>"_s;
        QTest::newRow("unclosed comment")        << u"<!-- <b>"_s                   << u"<!-- <b>"_s;
        QTest::newRow("doctype kept")            << u"<!doctype html><html>"_s      << u"<!doctype html><HTML>"_s;
        QTest::newRow("processing instruction")  << u"<?xml version=\"1.0\"?><a>"_s << u"<?xml version=\"1.0\"?><A>"_s;
        QTest::newRow("end tag without a name")  << u"</ td><b>"_s                  << u"</ td><B>"_s;
        QTest::newRow("less-than in text")       << u"a < b <3 <é"_s                << u"a < b <3 <é"_s;
        QTest::newRow("entities kept")           << u"&nbsp;&amp;&lt;b&gt;"_s       << u"&nbsp;&amp;&lt;b&gt;"_s;
        QTest::newRow("script text kept")        << u"<script>if(a<b)x(\"<td>\")</script><p>"_s
                                                 << u"<SCRIPT>if(a<b)x(\"<td>\")</SCRIPT><P>"_s;
        QTest::newRow("script end needs name")   << u"<script></scripts><b></script>"_s
                                                 << u"<SCRIPT></scripts><b></SCRIPT>"_s;
        QTest::newRow("style text kept")         << u"<style>a<b{}</style>"_s       << u"<STYLE>a<b{}</STYLE>"_s;
        QTest::newRow("textarea text kept")      << u"<textarea><b></textarea>"_s   << u"<TEXTAREA><b></TEXTAREA>"_s;
        QTest::newRow("unclosed script")         << u"<script>x<b>"_s               << u"<SCRIPT>x<b>"_s;
        QTest::newRow("non-ASCII letter not a raw-text name")
                                                 << u"<scrİpt><b>"_s                << u"<SCRİpt><B>"_s;
        QTest::newRow("trailing <")              << u"<td><"_s                      << u"<TD><"_s;
        QTest::newRow("trailing </")             << u"<td></"_s                     << u"<TD></"_s;
        QTest::newRow("empty")                   << QString()                        << QString();
        QTest::newRow("chinese text kept")       << u"<td>印刷序号</td>"_s           << u"<TD>印刷序号</TD>"_s;
        // clang-format on
    }
    void upperCasesTagNamesOnly() {
        QFETCH(QString, markup);
        QFETCH(QString, normalised);
        const QString result = normaliseTagNames(markup);
        QCOMPARE(result, normalised);
        // Idempotent: normalised markup passes through unchanged.
        QCOMPARE(normaliseTagNames(result), result);
    }
};

QTEST_APPLESS_MAIN(TestMarkupNormaliser)
#include "tst_markupnormaliser.moc"
