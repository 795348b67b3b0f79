#include "base/TextEncoding.h"
#include "render/RenderRequestParser.h"

#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

// The request target as the print job puts it on the wire: everything after the first "?"
// percent-encoded as UTF-8 except unreserved ASCII and "=", "&" and ",".
QByteArray onTheWire(const QString &query) {
    return "/Print/print.asp?" + query.toUtf8().toPercentEncoding("=&,");
}

QString joined(const QStringList &values) {
    return values.join(u',');
}

QStringList numbered(int count) {
    QStringList values;
    for (int i = 0; i < count; ++i)
        values.append(u"V%1"_s.arg(i));
    return values;
}

} // namespace

class TestRenderRequestParser final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Requests built by the print job from sheet values, as they arrive: every value must
    // come back exactly as the sheet held it.
    void valuesSurviveTheWire_data() {
        QTest::addColumn<int>("flag");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("59 plain") << 0 << numbered(59);
        QTest::newRow("international") << 1 << numbered(59);
        QTest::newRow("chinese") << 0 << QStringList{u"张三"_s, u"北京首都T3"_s, u"不得签转"_s};
        QTest::newRow("ampersand") << 0 << QStringList{u"A&B"_s, u"&"_s, u"x&p=y"_s};
        QTest::newRow("hash") << 0 << QStringList{u"#1"_s, u"a#b#"_s};
        QTest::newRow("plus") << 0 << QStringList{u"CNY +100"_s, u"+"_s};
        QTest::newRow("percent") << 0 << QStringList{u"100%"_s, u"%41"_s, u"%"_s};
        QTest::newRow("space slash colon") << 0 << QStringList{u"CNY 0.00"_s, u"10:15"_s, u"a/b"_s};
        QTest::newRow("question mark") << 0 << QStringList{u"?"_s, u"a?l=1"_s};
        QTest::newRow("empty slots") << 0 << QStringList{QString(), QString(), u"x"_s, QString()};
        QTest::newRow("all empty") << 0 << QList<QString>(59);
        QTest::newRow("58 values") << 0 << numbered(58);
        QTest::newRow("60 values") << 0 << numbered(60);
        QTest::newRow("outside BMP") << 0 << QStringList{u"😀€"_s};
    }
    void valuesSurviveTheWire() {
        QFETCH(int, flag);
        QFETCH(QStringList, values);
        const QString query =
            u"l=%1&p=%2&%3"_s.arg(flag).arg(joined(values), u"2026-12-07 10:15:02"_s);
        const RenderRequestParse parsed = parseRenderRequestTarget(onTheWire(query));
        QVERIFY2(parsed.ok, qPrintable(parsed.error));
        QCOMPARE(parsed.request.intlFlag, flag);
        QCOMPARE(parsed.request.values, values);
    }

    // Targets written by hand: raw bytes, other clients, and the edges of the raw-target reading.
    void rawTargets_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QStringList>("values");
        const QByteArray gbk = encodeGb18030(u"行程单"_s);
        QTest::newRow("gbk percent-encoded")
            << QByteArray("/Print/print.asp?l=0&p=%D0%D0%B3%CC%B5%A5,x&t")
            << QStringList{u"行程单"_s, u"x"_s};
        QTest::newRow("gbk raw bytes")
            << "/Print/print.asp?l=0&p=" + gbk + "&t" << QStringList{u"行程单"_s};
        QTest::newRow("utf-8 raw bytes")
            << "/Print/print.asp?l=0&p=" + u"张三"_s.toUtf8() + "&t" << QStringList{u"张三"_s};
        QTest::newRow("encoded comma stays in its value")
            << QByteArray("?l=0&p=a%2Cb,c&t") << QStringList{u"a,b"_s, u"c"_s};
        QTest::newRow("plus is not a space")
            << QByteArray("?l=0&p=a+b,%2B&t") << QStringList{u"a+b"_s, u"+"_s};
        QTest::newRow("no time-stamp: p runs to the end")
            << QByteArray("?l=0&p=a,b") << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("p up to the last ampersand")
            << QByteArray("?l=0&p=a&b,c&d&stamp") << QStringList{u"a&b"_s, u"c&d"_s};
        QTest::newRow("first &p= counts")
            << QByteArray("?l=0&p=x&p=y&t") << QStringList{u"x&p=y"_s};
        QTest::newRow("empty p") << QByteArray("?l=0&p=&t") << QStringList{QString()};
        QTest::newRow("query without path") << QByteArray("l=1&p=a&t") << QStringList{u"a"_s};
        QTest::newRow("absolute form")
            << QByteArray("http://127.0.0.1:8088/Print/print.asp?l=0&p=a&t") << QStringList{u"a"_s};
        // Bytes that are neither UTF-8 nor GB18030 still give text, never a failure.
        QTest::newRow("invalid in both") << QByteArray("?l=0&p=%FF%FF,ok&t")
                                         << QStringList{decodeUtf8OrGb18030("\xFF\xFF"), u"ok"_s};
    }
    void rawTargets() {
        QFETCH(QByteArray, target);
        QFETCH(QStringList, values);
        const RenderRequestParse parsed = parseRenderRequestTarget(target);
        QVERIFY2(parsed.ok, qPrintable(parsed.error));
        QCOMPARE(parsed.request.values, values);
    }

    void malformed_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QString>("error");
        QTest::newRow("no query") << QByteArray("/Print/print.asp") << u"no l="_s;
        QTest::newRow("l not first") << QByteArray("?p=a&l=0&t") << u"no l="_s;
        QTest::newRow("no p") << QByteArray("?l=0&t") << u"no &p="_s;
        QTest::newRow("l empty") << QByteArray("?l=&p=a&t") << u"l must be 0 or 1"_s;
        QTest::newRow("l two") << QByteArray("?l=2&p=a&t") << u"l must be 0 or 1"_s;
        QTest::newRow("lone percent")
            << QByteArray("?l=0&p=100%&t") << u"percent-escape in value 0"_s;
        QTest::newRow("percent one digit")
            << QByteArray("?l=0&p=a,%4&t") << u"percent-escape in value 1"_s;
        QTest::newRow("percent non-hex")
            << QByteArray("?l=0&p=a,b,%G1&t") << u"percent-escape in value 2"_s;
    }
    void malformed() {
        QFETCH(QByteArray, target);
        QFETCH(QString, error);
        const RenderRequestParse parsed = parseRenderRequestTarget(target);
        QVERIFY(!parsed.ok);
        QVERIFY2(parsed.error.contains(error), qPrintable(parsed.error));
    }
};

QTEST_APPLESS_MAIN(TestRenderRequestParser)
#include "tst_renderrequestparser.moc"
