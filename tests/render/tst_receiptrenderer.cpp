#include "Ink.h"
#include "SampleReceipt.h"

#include "render/ReceiptRenderer.h"
#include "sheet/FieldMap.h"

#include <QFontInfo>
#include <QTest>
#include <QtConcurrent>

using namespace itinerary;
using namespace itinerary::test;
using namespace Qt::StringLiterals;

namespace {

QStringList onlyField(int index, const QString &value, int count = FieldCount) {
    QStringList values(count);
    values[index] = value;
    return values;
}

QStringList fullReceipt() {
    return test::sampleReceiptValues();
}

QRect boxOf(const ReceiptLayout &layout, int index) {
    return ReceiptRenderer::pixelRect(layout.placement(index)->rectMm);
}

ReceiptLayout singleField(const char *fieldJson) {
    const Result<ReceiptLayout> layout =
        ReceiptLayout::fromJson(QByteArray(R"({"fields":[)") + fieldJson + "]}");
    if (!layout)
        qFatal("%s", qPrintable(layout.error()));
    return *layout;
}

} // namespace

class TestReceiptRenderer final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theNamedFontIsInstalled() {
        const QFont font(ReceiptLayout::defaultLayout().fontFamily());
        QCOMPARE(QFontInfo(font).family(), ReceiptLayout::defaultLayout().fontFamily());
    }

    void pictureSizeAndResolution() {
        const ReceiptRenderer renderer(ReceiptLayout::defaultLayout());
        const QImage image = renderer.render(fullReceipt());
        QCOMPARE(image.size(), QSize(2425, 1244));
        QCOMPARE(image.depth(), 1);
        QCOMPARE(image.dotsPerMeterX(), 11811);
        QCOMPARE(image.dotsPerMeterY(), 11811);

        const QByteArray png = ReceiptRenderer::encodePng(image);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QVERIFY2(png.size() < 80 * 1024, qPrintable(QString::number(png.size())));
        const QImage decoded = QImage::fromData(png, "png");
        QCOMPARE(decoded.size(), QSize(2425, 1244));
        QCOMPARE(decoded.dotsPerMeterX(), 11811);
        QCOMPARE(decoded.dotsPerMeterY(), 11811);
        QCOMPARE(decoded.convertToFormat(QImage::Format_Grayscale8),
                 image.convertToFormat(QImage::Format_Grayscale8));
    }

    // Each field's value lands inside that field's box and nowhere else.
    void valueLandsInItsOwnBox_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("value");
        for (const FieldPlacement &p : ReceiptLayout::defaultLayout().fields()) {
            const QString value = p.index % 2 ? u"行程单ABC 123"_s : u"CNY 1240.00 北京"_s;
            QTest::addRow("field %d", p.index) << p.index << value;
        }
    }
    void valueLandsInItsOwnBox() {
        QFETCH(int, index);
        QFETCH(QString, value);
        const ReceiptLayout &layout = ReceiptLayout::defaultLayout();
        const Ink ink(ReceiptRenderer(layout).render(onlyField(index, value)));
        const qint64 inside = ink.inside(boxOf(layout, index));
        QVERIFY2(inside > 100, qPrintable(QString::number(inside)));
        QCOMPARE(ink.total(), inside);
    }

    void nothingToPrint_data() {
        QTest::addColumn<QStringList>("values");
        QTest::newRow("no values") << QStringList();
        QTest::newRow("59 empty") << QStringList(FieldCount);
        QTest::newRow("blanks only") << onlyField(0, u"   "_s);
        // Field 4 mirrors field 3 off the sheet; it is sent but not printed.
        QTest::newRow("the mirror") << onlyField(Field::RecordCodeMirror, u"HX4K2M"_s);
        QTest::newRow("beyond 59") << onlyField(FieldCount + 1, u"extra"_s, FieldCount + 2);
    }
    void nothingToPrint() {
        QFETCH(QStringList, values);
        const Ink ink(ReceiptRenderer(ReceiptLayout::defaultLayout()).render(values));
        QCOMPARE(ink.total(), 0);
    }

    void aFullReceiptKeepsEveryValueInItsBox() {
        const ReceiptLayout &layout = ReceiptLayout::defaultLayout();
        const QStringList values = fullReceipt();
        const Ink ink(ReceiptRenderer(layout).render(values));
        qint64 sum = 0;
        for (const FieldPlacement &p : layout.fields()) {
            const qint64 inside = ink.inside(boxOf(layout, p.index));
            QVERIFY2(inside > 0, qPrintable(u"field %1"_s.arg(p.index)));
            sum += inside;
        }
        QCOMPARE(ink.total(), sum); // boxes do not overlap, and nothing spills out
    }

    void fewerValuesPrintAsFarAsTheyGo() {
        const ReceiptLayout &layout = ReceiptLayout::defaultLayout();
        const QStringList values = fullReceipt().mid(0, 10);
        const Ink ink(ReceiptRenderer(layout).render(values));
        for (const FieldPlacement &p : layout.fields()) {
            const qint64 inside = ink.inside(boxOf(layout, p.index));
            QVERIFY2((inside > 0) == (p.index < 10 && p.index != Field::RecordCodeMirror),
                     qPrintable(u"field %1"_s.arg(p.index)));
        }
    }

    void alignmentAndShrinking_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expect");
        // A 40 x 8 mm box at (20, 20) mm: 472 x 94 pixels from (236, 236).
        const QByteArray box = R"("index":0,"x":20,"y":20,"width":40,"height":8)";
        QTest::newRow("left") << "{" + box + "}" << u"AB"_s << u"left"_s;
        QTest::newRow("right") << "{" + box + R"(,"align":"right"})" << u"AB"_s << u"right"_s;
        QTest::newRow("center") << "{" + box + R"(,"align":"center"})" << u"AB"_s << u"center"_s;
        QTest::newRow("shrunk to fit")
            << "{" + box + "}" << u"中华人民共和国民用航空局行程单"_s << u"fills"_s;
        QTest::newRow("cut when not shrinking")
            << "{" + box + R"(,"shrink":false})" << u"中华人民共和国民用航空局行程单"_s
            << u"fills"_s;
        QTest::newRow("very long value") << "{" + box + "}" << QString(2000, u'W') << u"fills"_s;
        QTest::newRow("control characters") << "{" + box + "}" << u"A\nB\tC\r"_s << u"left"_s;
    }
    void alignmentAndShrinking() {
        QFETCH(QByteArray, field);
        QFETCH(QString, value);
        QFETCH(QString, expect);
        const ReceiptLayout layout = singleField(field.constData());
        const QRect box = boxOf(layout, 0);
        const Ink ink(ReceiptRenderer(layout).render({value}));
        const QRect bounds = ink.bounds(QRect(0, 0, 2425, 1244));
        QVERIFY(!bounds.isNull());
        QVERIFY2(box.contains(bounds), qPrintable(u"%1,%2 %3x%4"_s.arg(bounds.x())
                                                      .arg(bounds.y())
                                                      .arg(bounds.width())
                                                      .arg(bounds.height())));
        // Vertically centred within a few pixels.
        QVERIFY(qAbs(bounds.center().y() - box.center().y()) < 12);
        const int margin = 12;
        if (expect == u"left")
            QVERIFY(bounds.left() - box.left() < margin);
        else if (expect == u"right")
            QVERIFY(box.right() - bounds.right() < margin);
        else if (expect == u"center")
            QVERIFY(qAbs(bounds.center().x() - box.center().x()) < margin);
        else
            QVERIFY(bounds.width() > box.width() * 3 / 4);
    }

    void gridDrawsEveryBoxWithItsIndex() {
        const ReceiptLayout &layout = ReceiptLayout::defaultLayout();
        const Ink ink(ReceiptRenderer(layout).render({}, RenderOptions{true}));
        for (const FieldPlacement &p : layout.fields()) {
            const QRect box = boxOf(layout, p.index);
            // The border: the outermost columns and rows of the box are dark.
            QCOMPARE(ink.inside(QRect(box.left(), box.top(), 1, box.height())),
                     qint64(box.height()));
            QCOMPARE(ink.inside(QRect(box.left(), box.bottom(), box.width(), 1)),
                     qint64(box.width()));
            // The index label inside it.
            QVERIFY(ink.inside(box.adjusted(3, 3, -3, -3)) > 0);
        }
    }

    void rendersTheSameOnManyThreads() {
        const ReceiptRenderer renderer(ReceiptLayout::defaultLayout());
        const QStringList values = fullReceipt();
        const QByteArray serial = renderer.renderPng(values);
        const QList<QByteArray> parallel = QtConcurrent::blockingMapped(
            QList<int>{0, 1, 2, 3, 4, 5, 6, 7}, [&](int) { return renderer.renderPng(values); });
        for (const QByteArray &png : parallel)
            QCOMPARE(png, serial);
    }
};

QTEST_MAIN(TestReceiptRenderer)
#include "tst_receiptrenderer.moc"
