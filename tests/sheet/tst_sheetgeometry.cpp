#include "sheet/FieldMap.h"
#include "sheet/SheetGeometry.h"

#include <QTest>

using namespace itinerary;

class TestSheetGeometry final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyFieldHasAPlace() {
        for (int i = 0; i < FieldCount; ++i)
            QVERIFY2(fieldRect(i).width > 0, qPrintable(QString::number(i)));
    }

    void segmentGridPlaces_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        // clang-format off
        QTest::newRow("row1 city")        << 5  << 120   << 1680;
        QTest::newRow("row1 baggage")     << 12 << 12240 << 1680;
        QTest::newRow("row1 not before")  << 42 << 7920  << 1680;
        QTest::newRow("row2 flight")      << 15 << 3000  << 2160;
        QTest::newRow("row3 not after")   << 47 << 9960  << 2640;
        QTest::newRow("row3 fare basis")  << 27 << 7080  << 2640;
        QTest::newRow("row4 city")        << 29 << 120   << 3120;
        QTest::newRow("row4 carrier")     << 57 << 1920  << 3120;
        QTest::newRow("row4 time")        << 53 << 6240  << 3120;
        QTest::newRow("row4 fare basis")  << 52 << 7080  << 3120;
        QTest::newRow("row4 not before")  << 48 << 7920  << 3120;
        QTest::newRow("row4 baggage")     << 50 << 12240 << 3120;
        // clang-format on
    }
    void segmentGridPlaces() {
        QFETCH(int, field);
        QFETCH(int, left);
        QFETCH(int, top);
        QCOMPARE(fieldRect(field).left, left);
        QCOMPARE(fieldRect(field).top, top);
    }

    void segmentHeadersAreCentred() {
        int centred = 0;
        for (const SheetLabel &label : sheetLabels()) {
            QCOMPARE(label.rect.height, 255);
            if (label.centred) {
                QCOMPARE(label.rect.top, 1320);
                ++centred;
            }
        }
        QCOMPARE(centred, 10);
        QCOMPARE(sheetLabels().size(), 26);
    }
};

QTEST_GUILESS_MAIN(TestSheetGeometry)
#include "tst_sheetgeometry.moc"
