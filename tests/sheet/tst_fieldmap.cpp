#include "sheet/FieldMap.h"

#include <QSet>
#include <QTest>

using namespace itinerary;

class TestFieldMap final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The table's rows name their own fields: each of the 59 once, in index order.
    void everyIndexIsDescribedOnce() {
        QSet<int> seen;
        for (const FieldInfo &info : fieldTable())
            seen.insert(info.index);
        QCOMPARE(seen.size(), FieldCount);
        for (int i = 0; i < FieldCount; ++i)
            QCOMPARE(fieldInfo(i).index, i);
    }

    void segmentGrid_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("field");
        // clang-format off
        QTest::newRow("row1 city")        << 0 << int(SegmentColumn::City)           << 5;
        QTest::newRow("row1 baggage")     << 0 << int(SegmentColumn::Baggage)        << 12;
        QTest::newRow("row1 not before")  << 0 << int(SegmentColumn::NotValidBefore) << 42;
        QTest::newRow("row2 flight")      << 1 << int(SegmentColumn::Flight)         << 15;
        QTest::newRow("row3 not after")   << 2 << int(SegmentColumn::NotValidAfter)  << 47;
        QTest::newRow("row3 fare basis")  << 2 << int(SegmentColumn::FareBasis)      << 27;
        QTest::newRow("row4 city")        << 3 << int(SegmentColumn::City)           << 29;
        QTest::newRow("row4 carrier")     << 3 << int(SegmentColumn::Carrier)        << 57;
        QTest::newRow("row4 time")        << 3 << int(SegmentColumn::Time)           << 53;
        QTest::newRow("row4 fare basis")  << 3 << int(SegmentColumn::FareBasis)      << 52;
        QTest::newRow("row4 not before")  << 3 << int(SegmentColumn::NotValidBefore) << 48;
        QTest::newRow("row4 baggage")     << 3 << int(SegmentColumn::Baggage)        << 50;
        // clang-format on
    }
    void segmentGrid() {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, field);
        QCOMPARE(segmentField(row, SegmentColumn(column)), field);
        QCOMPARE(fieldInfo(field).segmentRow, row);
    }

    void fourthRowLeavesFareAndTicketRowsAlone() {
        for (int c = 0; c < SegmentColumnCount; ++c) {
            const int f = segmentField(3, SegmentColumn(c));
            QVERIFY(!fareRowFields().contains(f));
            QVERIFY(!ticketRowFields().contains(f));
        }
        QCOMPARE(cityLineField(4), 51);
    }

    void clearedSetKeepsEndorsementFaresAndValidity() {
        const QList<int> &cleared = clearedBeforeImportFields();
        for (int kept : {2, 30, 31, 32, 33, 35, 36, 37, 38, 39, 40, 41, 42, 45, 49, 58})
            QVERIFY2(!cleared.contains(kept), qPrintable(QString::number(kept)));
        for (int gone : {0, 1, 3, 4, 5, 29, 34, 50, 51, 52, 57})
            QVERIFY2(cleared.contains(gone), qPrintable(QString::number(gone)));
    }

    void focusOrderEndsWithTheMirror() {
        const QList<int> &order = sheetFocusOrder();
        QCOMPARE(order.size(), FieldCount);
        QCOMPARE(order.mid(0, 5), (QList<int>{0, 1, 2, 3, 5}));
        QCOMPARE(order.last(), 4);
    }
};

QTEST_GUILESS_MAIN(TestFieldMap)
#include "tst_fieldmap.moc"
