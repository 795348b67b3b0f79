// Saved pages through the normaliser, the third-table extraction and the guard, as the
// browser adapter and the command-line tool run them: hand-written result pages in the form a
// browser engine serialises them (lower-case tags, <tbody>, &nbsp;, <br>) and in upper case,
// and the local verification site's pages with the sheets expected of them.
#include "TestPaths.h"

#include "base/Messages.h"
#include "base/TextEncoding.h"
#include "sheet/Itinerary.h"
#include "webimport/MarkupNormaliser.h"
#include "webimport/ResultPageParser.h"
#include "webimport/ThirdTable.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <utility>

using namespace itinerary;
using namespace Qt::StringLiterals;

using FieldValues = QList<std::pair<int, QString>>;
Q_DECLARE_METATYPE(FieldValues)

namespace {

QString readPage(const QString &name) {
    QFile file(QStringLiteral(ITINERARY_TEST_DATA_DIR "/pages/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the page fixture %s", qPrintable(name));
    return decodeUtf8OrGb18030(file.readAll());
}

void importPage(const QString &page, Itinerary &sheet, RecordingMessages &messages) {
    const QString markup = normaliseTagNames(page);
    importResultPage(true, markup, thirdTableInnerMarkup(markup), sheet, messages);
}

QStringList sheetWith(const FieldValues &values) {
    QStringList fields = Itinerary().texts();
    for (const auto &[index, text] : values)
        fields[index] = text;
    return fields;
}

const FieldValues TwoSegments{
    {0, u"张伟"_s},
    {2, u"不得签转 改期退票收费"_s},
    {5, u"北京首都 T3"_s},
    {13, u"上海虹桥 T2"_s},
    {21, u"北京首都 T3"_s},
    {6, u"国航"_s},
    {14, u"国航"_s},
    {7, u"CA1501"_s},
    {15, u"CA1502"_s},
    {8, u"Y"_s},
    {16, u"Y"_s},
    {9, u"2026-03-15"_s},
    {17, u"2026-03-18"_s},
    {10, u"08:00"_s},
    {18, u"19:30"_s},
    {11, u"Y"_s},
    {19, u"Y"_s},
    {12, u"20K"_s},
    {20, u"20K"_s},
    {30, u"CNY 2260.00"_s},
    {31, u"100.00"_s},
    {32, u"CNY120.00"_s},
    {58, u"0.00"_s},
    {33, u"CNY 2480.00"_s},
    {34, u"9991234567890"_s},
    {36, u"仅供验真&报销<不作退票依据>"_s},
};

const FieldValues FourSegments{
    {0, u"李娜"_s},
    {2, u"不得签转  不得退票"_s},
    {5, u"北京首都 T3"_s},
    {13, u"上海虹桥 T2"_s},
    {21, u"广州白云"_s},
    {29, u"深圳宝安 T3"_s},
    {6, u"国航"_s},
    {14, u"东航"_s},
    {22, u"南航"_s},
    {57, u"深航"_s},
    {7, u"CA1501"_s},
    {15, u"MU5301"_s},
    {23, u"CZ3501"_s},
    {56, u"ZH9101"_s},
    {8, u"Y"_s},
    {16, u"B"_s},
    {24, u"M"_s},
    {55, u"Y"_s},
    {9, u"2026-03-15"_s},
    {17, u"2026-03-18"_s},
    {25, u"2026-03-21"_s},
    {54, u"2026-03-25"_s},
    {10, u"08:00"_s},
    {18, u"12:30"_s},
    {26, u"18:05"_s},
    {53, u"21:40"_s},
    {11, u"Y"_s},
    {19, u"B"_s},
    {27, u"M"_s},
    {52, u"YOW"_s},
    {12, u"20K"_s},
    {20, u"20K"_s},
    {28, u"20K"_s},
    {50, u"20K"_s},
    {30, u"CNY 4820.00"_s},
    {31, u"200.00"_s},
    {32, u"240.00"_s},
    {58, u"35.50"_s},
    {33, u"CNY 5295.50"_s},
    {34, u"7845012345678"_s},
    {36, u"联程客票 请按顺序使用"_s},
};

} // namespace

class TestResultPageFiles final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void savedPages_data() {
        QTest::addColumn<QStringList>("files"); // imported in turn onto one fresh sheet
        QTest::addColumn<FieldValues>("expected");
        QTest::addColumn<bool>("recognised");
        // clang-format off
        QTest::newRow("browser form")         << QStringList{u"result-serialised.html"_s} << TwoSegments << true;
        QTest::newRow("upper-case form")      << QStringList{u"result-uppercase.html"_s} << TwoSegments << true;
        QTest::newRow("four segments, five cities")
                                              << QStringList{u"result-five-cities.html"_s} << FourSegments << true;
        QTest::newRow("four segments, then two")
            << QStringList{u"result-five-cities.html"_s, u"result-serialised.html"_s} << TwoSegments << true;
        QTest::newRow("home page changes nothing")
            << QStringList{u"home.html"_s} << FieldValues{} << true;
        QTest::newRow("home page after a result")
            << QStringList{u"result-uppercase.html"_s, u"home.html"_s} << TwoSegments << true;
        QTest::newRow("marker without a result table")
            << QStringList{u"marker-without-result.html"_s}
            << FieldValues{{0, QString()}, {3, QString()}, {34, QString()}} << false;
        // clang-format on
    }
    void savedPages() {
        QFETCH(QStringList, files);
        QFETCH(FieldValues, expected);
        QFETCH(bool, recognised);
        Itinerary sheet;
        RecordingMessages messages;
        for (const QString &file : files)
            importPage(readPage(file), sheet, messages);
        QCOMPARE(sheet.texts(), sheetWith(expected));
        QCOMPARE(messages.shown().size(), recognised ? 0 : 1);
    }

    // The site's pages, each result page with its expected sheet written by hand beside it.
    void sitePages_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expectedFile"); // empty: the page changes nothing
        QTest::newRow("home page") << u"home.html"_s << QString();
        QTest::newRow("wrong captcha") << u"wrong-captcha.html"_s << QString();
        QTest::newRow("unknown ticket") << u"unknown-ticket.html"_s << QString();
        for (const QString &name :
             {u"result-one-segment"_s, u"result-two-segments"_s, u"result-four-segments"_s})
            QTest::newRow(qPrintable(name)) << name + u".html"_s << name + u".expected.json"_s;
    }
    void sitePages() {
        QFETCH(QString, page);
        QFETCH(QString, expectedFile);
        FieldValues expected;
        if (!expectedFile.isEmpty()) {
            const QJsonObject fields = QJsonDocument::fromJson(readPage(expectedFile).toUtf8())
                                           .object()
                                           .value(u"fields"_s)
                                           .toObject();
            QVERIFY(fields.size() > 30);
            for (auto it = fields.begin(); it != fields.end(); ++it)
                expected.append({it.key().toInt(), it.value().toString()});
        }
        Itinerary sheet;
        RecordingMessages messages;
        importPage(readPage(page), sheet, messages);
        QCOMPARE(sheet.texts(), sheetWith(expected));
        QVERIFY(messages.shown().isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestResultPageFiles)
#include "tst_resultpagefiles.moc"
