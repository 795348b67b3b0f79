// The site's pages without a network: escaping, form decoding, the result page's table
// layout, the saved page fixtures and the expected sheets written beside them.
#include "FormFields.h"
#include "HtmlText.h"
#include "SitePageReader.h"
#include "SitePages.h"
#include "TicketFile.h"

#include "TestPaths.h"
#include "webimport/MarkupNormaliser.h"
#include "webimport/ThirdTable.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

Q_DECLARE_METATYPE(itinerary::site::SiteTicket)

using namespace itinerary::site;
using namespace sitetest;
using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

QByteArray readFixture(const QString &name) {
    QFile file(QStringLiteral(ITINERARY_TEST_DATA_DIR "/pages/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

SiteTicket ticketNumbered(const QString &number) {
    for (const SiteTicket &t : builtInTickets()) {
        if (t.ticketNumber == number)
            return t;
    }
    qFatal("no built-in ticket %s", qPrintable(number));
}

// The shape the result page reader relies on, for one page; empty when it holds.
QString shapeFault(const QString &page, int segments) {
    if (!page.contains(u"印刷序号"_s))
        return u"no marker"_s;
    if (tableCount(page) < 3)
        return u"fewer than three tables"_s;
    const auto inner = thirdTableInnerMarkup(normaliseTagNames(page));
    if (!inner)
        return u"no third table"_s;
    const QString &table = *inner;
    const QStringList rows = cut(table, u"</TR>"_s);
    if (rows.size() < 6)
        return u"%1 row pieces"_s.arg(rows.size());
    const QList<std::pair<int, int>> minimumCells{{1, 3}, {3, 12}, {4, 5}, {5, 3}};
    for (const auto &[row, cells] : minimumCells) {
        if (cut(rows.at(row), u"</TD>"_s).size() < cells)
            return u"row %1 has fewer than %2 cells"_s.arg(row).arg(cells);
    }
    const QStringList segmentCells = cut(rows.at(3), u"</TD>"_s);
    for (int cell : {1, 3, 4, 5, 6, 7, 8, 11}) {
        const QStringList entries = cut(segmentCells.at(cell), u"<BR>"_s);
        const int expected = cell == 1 ? segments + 1 : segments;
        if (entries.size() != expected)
            return u"segment cell %1 has %2 entries"_s.arg(cell).arg(entries.size());
        if (!entries.first().contains(u"px\">"_s))
            return u"segment cell %1 has no pixel marker"_s.arg(cell);
    }
    if (!cut(rows.at(5), u"</TD>"_s).first().contains(u"px\">"_s))
        return u"ticket cell has no pixel marker"_s;
    return QString();
}

} // namespace

class TestSitePages final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void escapesAsTheEngineSerialises_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("attribute");
        // clang-format off
        QTest::newRow("plain")         << u"国航 CA1501"_s  << u"国航 CA1501"_s       << u"国航 CA1501"_s;
        QTest::newRow("ampersand")     << u"退改&签"_s      << u"退改&amp;签"_s       << u"退改&amp;签"_s;
        QTest::newRow("angle")         << u"<b>"_s          << u"&lt;b&gt;"_s         << u"<b>"_s;
        QTest::newRow("quotes")        << u"\"a\" 'b'"_s    << u"\"a\" 'b'"_s         << u"&quot;a&quot; 'b'"_s;
        QTest::newRow("no-break")      << u"CNY\u00a050"_s  << u"CNY&nbsp;50"_s       << u"CNY&nbsp;50"_s;
        QTest::newRow("entity kept as text") << u"&nbsp;"_s << u"&amp;nbsp;"_s       << u"&amp;nbsp;"_s;
        // clang-format on
    }
    void escapesAsTheEngineSerialises() {
        QFETCH(QString, raw);
        QFETCH(QString, text);
        QFETCH(QString, attribute);
        QCOMPARE(escapeHtmlText(raw), text);
        QCOMPARE(escapeHtmlAttribute(raw), attribute);
    }

    void decodesFormFields_data() {
        QTest::addColumn<QByteArray>("encoded");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        // clang-format off
        QTest::newRow("plain")          << "a=1&randCode=AB12"_ba                  << u"randCode"_s      << u"AB12"_s;
        QTest::newRow("plus is space")  << "passengerName=ZHANG+SAN"_ba            << u"passengerName"_s << u"ZHANG SAN"_s;
        QTest::newRow("utf-8 escapes")  << "passengerName=%E7%8E%8B%E5%B0%8F%E6%98%8E"_ba << u"passengerName"_s << u"王小明"_s;
        QTest::newRow("escaped plus")   << "x=1%2B2"_ba                             << u"x"_s             << u"1+2"_s;
        QTest::newRow("escaped amp")    << "x=a%26b&y=2"_ba                         << u"x"_s             << u"a&b"_s;
        QTest::newRow("first wins")     << "x=1&x=2"_ba                             << u"x"_s             << u"1"_s;
        QTest::newRow("no value")       << "x&y=2"_ba                               << u"x"_s             << QString();
        QTest::newRow("empty value")    << "x=&y=2"_ba                              << u"x"_s             << QString();
        QTest::newRow("equals in value")<< "x=a=b"_ba                               << u"x"_s             << u"a=b"_s;
        QTest::newRow("escaped name")   << "rand%43ode=Q"_ba                        << u"randCode"_s      << u"Q"_s;
        QTest::newRow("missing")        << "y=2"_ba                                 << u"x"_s             << QString();
        QTest::newRow("empty text")     << QByteArray()                             << u"x"_s             << QString();
        // clang-format on
    }
    void decodesFormFields() {
        QFETCH(QByteArray, encoded);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QCOMPARE(parseFormFields(encoded).value(name), value);
    }

    void builtInSamplesCoverOneTwoAndFourSegments() {
        const QList<SiteTicket> tickets = builtInTickets();
        QList<qsizetype> segments;
        for (const SiteTicket &t : tickets)
            segments.append(t.segments.size());
        QCOMPARE(segments, (QList<qsizetype>{1, 2, 4}));
    }

    void resultPageHasTheLayoutTheReaderCuts_data() {
        QTest::addColumn<SiteTicket>("ticket");
        for (const SiteTicket &t : builtInTickets())
            QTest::newRow(qPrintable(t.ticketNumber)) << t;
        // Texts that look like markup must not break the rows and cells.
        SiteTicket odd = builtInTickets().first();
        odd.passengerName = u"A<B>&C"_s;
        odd.endorsement = u"</td></tr><br>"_s;
        odd.cities[0].name = u"X<br>Y"_s;
        odd.segments[0].carrier = u"px\">"_s;
        odd.notice = u"</TD>"_s;
        QTest::newRow("markup-like texts") << odd;
    }
    void resultPageHasTheLayoutTheReaderCuts() {
        QFETCH(SiteTicket, ticket);
        const QString page = QString::fromUtf8(resultPage(ticket));
        QCOMPARE(shapeFault(page, int(ticket.segments.size())), QString());
    }

    void everyPageCarriesTheQueryForm_data() {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<bool>("marker");
        QTest::newRow("home") << homePage() << false;
        QTest::newRow("wrong captcha") << messagePage(wrongCaptchaMessage()) << false;
        QTest::newRow("unknown ticket") << messagePage(unknownTicketMessage()) << false;
        QTest::newRow("result") << resultPage(builtInTickets().first()) << true;
    }
    void everyPageCarriesTheQueryForm() {
        QFETCH(QByteArray, page);
        QFETCH(bool, marker);
        const QString text = QString::fromUtf8(page);
        for (const QString &id : {u"eticketNoORIn"_s, u"passengerName"_s, u"randCode"_s})
            QVERIFY2(text.contains(u"<input type=\"text\" id=\"%1\" name=\"%1\""_s.arg(id)),
                     qPrintable(id));
        QVERIFY(text.contains(u"function validateStatus_info()"_s));
        QVERIFY(text.contains(u"<form id=\"queryForm\" method=\"post\" action=\"/verify\""_s));
        QVERIFY(text.contains(u"src=\"/newsky/servlet/CallYanServlet?"_s));
        QCOMPARE(text.contains(u"印刷序号"_s), marker);
    }

    void sitePagesEqualTheSavedFixtures_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("page");
        QTest::newRow("home") << u"home.html"_s << homePage();
        QTest::newRow("wrong captcha")
            << u"wrong-captcha.html"_s << messagePage(wrongCaptchaMessage());
        QTest::newRow("unknown ticket")
            << u"unknown-ticket.html"_s << messagePage(unknownTicketMessage());
        QTest::newRow("one segment")
            << u"result-one-segment.html"_s << resultPage(ticketNumbered(u"9992101234567"_s));
        QTest::newRow("two segments")
            << u"result-two-segments.html"_s << resultPage(ticketNumbered(u"7812102345678"_s));
        QTest::newRow("four segments")
            << u"result-four-segments.html"_s << resultPage(ticketNumbered(u"7842103456789"_s));
    }
    void sitePagesEqualTheSavedFixtures() {
        QFETCH(QString, file);
        QFETCH(QByteArray, page);
        QCOMPARE(page, readFixture(file));
    }

    // The hand-written sheets that the product's reader must give for the saved pages (see
    // tst_resultpagefiles) belong to the site's own tickets, and hold what the sheet shows.
    void expectedSheetsBelongToTheSiteTickets_data() {
        QTest::addColumn<QString>("expectedFile");
        QTest::newRow("one segment") << u"result-one-segment.expected.json"_s;
        QTest::newRow("two segments") << u"result-two-segments.expected.json"_s;
        QTest::newRow("four segments") << u"result-four-segments.expected.json"_s;
    }
    void expectedSheetsBelongToTheSiteTickets() {
        QFETCH(QString, expectedFile);
        const QJsonObject expected = QJsonDocument::fromJson(readFixture(expectedFile)).object();
        const SiteTicket ticket = ticketNumbered(expected.value(u"ticketNumber"_s).toString());
        QCOMPARE(ticket.passengerName, expected.value(u"passengerName"_s).toString());
        const QJsonObject fields = expected.value(u"fields"_s).toObject();
        QCOMPARE(fields.value(u"0"_s).toString(), ticket.passengerName);
        const QString page = QString::fromUtf8(readFixture(expected.value(u"page"_s).toString()));
        QVERIFY(page.contains(ticket.passengerName));
        // The sheet's change rule upper-cases; the fixtures hold what the sheet shows.
        for (auto it = fields.constBegin(); it != fields.constEnd(); ++it)
            QCOMPARE(it.value().toString().toUpper(), it.value().toString());
    }
};

QTEST_GUILESS_MAIN(TestSitePages)
#include "tst_sitepages.moc"
