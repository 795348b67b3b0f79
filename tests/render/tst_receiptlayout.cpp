#include "render/ReceiptLayout.h"
#include "sheet/FieldMap.h"
#include "sheet/SheetGeometry.h"

#include <QTemporaryDir>
#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

// The default layout's rule: the bounding box of every sheet field but the mirror (4) is
// mapped onto the page inset by 5 mm on each side, x and y scaled independently.
QRectF mappedFromSheet(int index) {
    QRectF box;
    for (const FieldInfo &f : fieldTable()) {
        if (f.index == Field::RecordCodeMirror)
            continue;
        const TwipRect t = fieldRect(f.index);
        const QRectF r(t.left, t.top, t.width, t.height);
        box = box.isNull() ? r : box.united(r);
    }
    const qreal inset = 5;
    const qreal sx = (ReceiptWidthMm - 2 * inset) / box.width();
    const qreal sy = (ReceiptHeightMm - 2 * inset) / box.height();
    const TwipRect t = fieldRect(index);
    return QRectF(inset + (t.left - box.left()) * sx, inset + (t.top - box.top()) * sy,
                  t.width * sx, t.height * sy);
}

QByteArray layoutWithField(const QByteArray &field) {
    return R"({"fields":[)" + field + "]}";
}

} // namespace

class TestReceiptLayout final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultLayoutFollowsTheSheet() {
        const ReceiptLayout &layout = ReceiptLayout::defaultLayout();
        QCOMPARE(layout.fontFamily(), u"Noto Sans CJK SC"_s);
        QCOMPARE(layout.fields().size(), FieldCount - 1);
        QVERIFY(!layout.placement(Field::RecordCodeMirror));
        for (int i = 0; i < FieldCount; ++i) {
            if (i == Field::RecordCodeMirror)
                continue;
            const FieldPlacement *p = layout.placement(i);
            QVERIFY2(p, qPrintable(QString::number(i)));
            const QRectF expected = mappedFromSheet(i);
            const QRectF actual = p->rectMm;
            const auto near = [](qreal a, qreal b) { return qAbs(a - b) < 0.006; };
            QVERIFY2(near(actual.x(), expected.x()) && near(actual.y(), expected.y()) &&
                         near(actual.width(), expected.width()) &&
                         near(actual.height(), expected.height()),
                     qPrintable(u"field %1"_s.arg(i)));
            QVERIFY(p->shrinkToFit);
            QCOMPARE(p->alignment, FieldAlignment::Left);
        }
    }

    void defaultLayoutFillsTheInsetPage() {
        QRectF ink;
        for (const FieldPlacement &p : ReceiptLayout::defaultLayout().fields())
            ink = ink.isNull() ? p.rectMm : ink.united(p.rectMm);
        QVERIFY(qAbs(ink.left() - 5) < 0.01);
        QVERIFY(qAbs(ink.top() - 5) < 0.01);
        QVERIFY(qAbs(ink.right() - (ReceiptWidthMm - 5)) < 0.02);
        QVERIFY(qAbs(ink.bottom() - (ReceiptHeightMm - 5)) < 0.02);
    }

    void jsonRoundTrip() {
        const ReceiptLayout &layout = ReceiptLayout::defaultLayout();
        const Result<ReceiptLayout> again = ReceiptLayout::fromJson(layout.toJson());
        QVERIFY2(again, qPrintable(again.error()));
        QCOMPARE(*again, layout);
    }

    void fieldsAreKeptInIndexOrder() {
        const Result<ReceiptLayout> layout = ReceiptLayout::fromJson(
            R"({"font":"Noto Serif CJK SC","fields":[
                {"index":9,"x":1,"y":1,"width":5,"height":5,"align":"right","shrink":false},
                {"index":2,"x":1,"y":9,"width":5,"height":5,"align":"center","size":12}]})");
        QVERIFY2(layout, qPrintable(layout.error()));
        QCOMPARE(layout->fontFamily(), u"Noto Serif CJK SC"_s);
        QCOMPARE(layout->fields().at(0).index, 2);
        QCOMPARE(layout->fields().at(0).alignment, FieldAlignment::Centre);
        QCOMPARE(layout->fields().at(0).fontSizePt, 12.0);
        QCOMPARE(layout->fields().at(1).alignment, FieldAlignment::Right);
        QVERIFY(!layout->fields().at(1).shrinkToFit);
        QVERIFY(!layout->placement(3));
    }

    void invalidDocuments_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        const auto field = [](const char *object) { return layoutWithField(object); };
        // clang-format off
        QTest::newRow("not json")          << QByteArray("{fields") << u"not JSON"_s;
        QTest::newRow("list")              << QByteArray("[]") << u"JSON object"_s;
        QTest::newRow("no fields")         << QByteArray("{}") << u"fields must be a list"_s;
        QTest::newRow("field not object")  << field("1") << u"fields[0] is not an object"_s;
        QTest::newRow("index missing")     << field(R"({"x":1,"y":1,"width":1,"height":1})") << u"index"_s;
        QTest::newRow("index 59")          << field(R"({"index":59,"x":1,"y":1,"width":1,"height":1})") << u"index"_s;
        QTest::newRow("index fraction")    << field(R"({"index":1.5,"x":1,"y":1,"width":1,"height":1})") << u"index"_s;
        QTest::newRow("width zero")        << field(R"({"index":1,"x":1,"y":1,"width":0,"height":1})") << u"positive"_s;
        QTest::newRow("height negative")   << field(R"({"index":1,"x":1,"y":1,"width":1,"height":-2})") << u"positive"_s;
        QTest::newRow("right of the page") << field(R"({"index":1,"x":206,"y":1,"width":1,"height":1})") << u"outside the page"_s;
        QTest::newRow("size zero")         << field(R"({"index":1,"x":1,"y":1,"width":1,"height":1,"size":0})") << u"size"_s;
        QTest::newRow("align middle")      << field(R"({"index":1,"x":1,"y":1,"width":1,"height":1,"align":"middle"})") << u"align"_s;
        QTest::newRow("shrink text")       << field(R"({"index":1,"x":1,"y":1,"width":1,"height":1,"shrink":"yes"})") << u"shrink"_s;
        QTest::newRow("placed twice")      << layoutWithField(R"({"index":1,"x":1,"y":1,"width":1,"height":1},
                                                                 {"index":1,"x":5,"y":5,"width":1,"height":1})")
                                           << u"fields[1]: field 1 is placed twice"_s;
        // clang-format on
    }
    void invalidDocuments() {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        const Result<ReceiptLayout> layout = ReceiptLayout::fromJson(json);
        QVERIFY(!layout);
        QVERIFY2(layout.error().contains(error), qPrintable(layout.error()));
    }

    void fileErrorsNameTheFile() {
        QTemporaryDir dir;
        const QString missing = dir.filePath(u"missing.json"_s);
        QString error = ReceiptLayout::fromFile(missing).error();
        QVERIFY2(error.contains(missing), qPrintable(error));

        const QString broken = dir.filePath(u"broken.json"_s);
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"fields\": 3}");
        file.close();
        error = ReceiptLayout::fromFile(broken).error();
        QVERIFY2(error.startsWith(broken) && error.contains(u"fields must be a list"_s),
                 qPrintable(error));
    }
};

QTEST_APPLESS_MAIN(TestReceiptLayout)
#include "tst_receiptlayout.moc"
