#include "sheet/Itinerary.h"

#include <QSignalSpy>
#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
PassengerList threePassengers() {
    return {{u"张三"_s, u"110101199001011234"_s, u"781-2345678901"_s},
            {u"李四"_s, u"110101199001015678"_s, u"781-2345678902"_s},
            {u"王五"_s, u"110101199001019999"_s, u"781-2345678903"_s}};
}

// What an import does after filling the list: row 0 shown, "下一位" for two or more.
void importList(Itinerary &sheet, const PassengerList &list) {
    sheet.setCurrentPassenger(0);
    sheet.setPassengers(list);
    if (list.size() > 1)
        sheet.setNextEnabled(true);
    sheet.showPassenger(0);
}
} // namespace

class TestItinerary final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void freshSheetShowsTheDesignDefaults() {
        Itinerary sheet;
        QCOMPARE(sheet.text(2), u"不得签转"_s);
        QCOMPARE(sheet.text(30), u"CNY 0.00"_s);
        QCOMPARE(sheet.text(31), u"CN 0.00"_s);
        QCOMPARE(sheet.text(32), u"YQ 0.00"_s);
        QCOMPARE(sheet.text(33), u"CNY 0.00"_s);
        QCOMPARE(sheet.text(58), u"XT 0.00"_s);
        QCOMPARE(sheet.text(37), u"XXX"_s);
        const QList<int> withDefaults{2, 30, 31, 32, 33, 37, 58};
        for (int i = 0; i < FieldCount; ++i) {
            if (!withDefaults.contains(i))
                QVERIFY2(sheet.text(i).isEmpty(), qPrintable(QString::number(i)));
        }
        QCOMPARE(sheet.intlFlag(), qint16(0));
        QVERIFY(!sheet.previousEnabled());
        QVERIFY(!sheet.nextEnabled());
        QVERIFY(!sheet.hasPassengerList());
    }

    void changeRuleNests_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("field3");
        QTest::addColumn<QString>("field4");
        QTest::addColumn<QString>("field35");
        // clang-format off
        QTest::newRow("3 lower case")      << 3  << u"hxyz12"_s   << u"HXYZ12"_s  << u"HXYZ12"_s << QString();
        QTest::newRow("3 leading blank")   << 3  << u" abc"_s     << u"ABC"_s     << u"ABC"_s    << QString();
        QTest::newRow("3 blanks around")   << 3  << u"  ab  "_s   << u"AB"_s      << u"AB"_s     << QString();
        QTest::newRow("3 only blanks")     << 3  << u"   "_s      << u"   "_s     << QString()   << QString();
        QTest::newRow("3 tab is no blank") << 3  << u"\tab"_s     << u"\tAB"_s    << u"\tAB"_s   << QString();
        QTest::newRow("4 writes back")     << 4  << u" xy "_s     << u"XY"_s      << u"XY"_s     << QString();
        QTest::newRow("35 full digits")    << 35 << u"０１２９"_s  << QString()    << QString()   << u"0129"_s;
        QTest::newRow("35 colon and case") << 35 << u"a：１"_s     << QString()    << QString()   << u"A:1"_s;
        // clang-format on
    }
    void changeRuleNests() {
        QFETCH(int, field);
        QFETCH(QString, written);
        QFETCH(QString, field3);
        QFETCH(QString, field4);
        QFETCH(QString, field35);
        Itinerary sheet;
        sheet.setText(field, written);
        QCOMPARE(sheet.text(3), field3);
        QCOMPARE(sheet.text(4), field4);
        QCOMPARE(sheet.text(35), field35);
    }

    void blankAddedAfterRecordCodeStaysInField3Only() {
        Itinerary sheet;
        sheet.setText(3, u"abc"_s);
        sheet.setText(3, u"ABC "_s);
        QCOMPARE(sheet.text(3), u"ABC "_s);
        QCOMPARE(sheet.text(4), u"ABC"_s);
        sheet.setText(3, QString());
        QCOMPARE(sheet.text(4), QString());
    }

    void fullWidthDigitsFoldOnlyInTheCheckCodeButColonsEverywhere() {
        Itinerary sheet;
        sheet.setText(36, u"１２：3０"_s);
        QCOMPARE(sheet.text(36), u"１２:3０"_s);
    }

    void equalWriteRunsNothing() {
        Itinerary sheet;
        sheet.setText(0, u"ABC"_s);
        QSignalSpy spy(&sheet, &Itinerary::textChanged);
        sheet.setText(0, u"ABC"_s);
        QCOMPARE(spy.count(), 0);
        sheet.setText(0, u"abd"_s);
        QCOMPARE(spy.count(), 2); // the write, then its upper-casing
    }

    void caretFollowsWhoChanged_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("typedCaret");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("caret");
        // clang-format off
        QTest::newRow("typing at the end")     << 0 << u"X"_s     << u"Xa"_s     << 2 << u"XA"_s     << 2;
        QTest::newRow("typing in the middle")  << 0 << u"XY"_s    << u"XaY"_s    << 2 << u"XAY"_s    << 2;
        QTest::newRow("second key in middle")  << 0 << u"XAY"_s   << u"XAbY"_s   << 3 << u"XABY"_s   << 3;
        QTest::newRow("colon in the middle")   << 36 << u"1200"_s << u"12：00"_s << 3 << u"12:00"_s  << 3;
        QTest::newRow("record code trimmed")   << 3 << QString()  << u"  ab"_s   << 4 << u"AB"_s     << 2;
        QTest::newRow("same trimmed code")     << 3 << u"AB"_s    << u"  AB"_s   << 2 << u"  AB"_s   << 2;
        QTest::newRow("trim left of caret")    << 3 << u"AB"_s    << u" xAB"_s   << 2 << u"XAB"_s    << 1;
        QTest::newRow("trailing blank kept")   << 3 << u"AB"_s    << u"AB "_s    << 3 << u"AB "_s    << 3;
        QTest::newRow("paste in the middle")   << 0 << u"AD"_s    << u"AbcD"_s   << 3 << u"ABCD"_s   << 3;
        // clang-format on
    }
    void caretFollowsWhoChanged() {
        QFETCH(int, field);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(int, typedCaret);
        QFETCH(QString, after);
        QFETCH(int, caret);
        Itinerary sheet;
        sheet.setText(field, before);
        QCOMPARE(sheet.caret(field), int(before.size()));
        QCOMPARE(sheet.operatorEdit(field, typed, typedCaret), caret);
        QCOMPARE(sheet.text(field), after);
        QCOMPARE(sheet.caret(field), caret);
    }

    void programWritePutsCaretAtTheEnd() {
        Itinerary sheet;
        sheet.operatorEdit(0, u"AB"_s, 1);
        sheet.setText(0, u"abcd"_s);
        QCOMPARE(sheet.caret(0), 4);
        // The mirror moved by an edit of field 3 is a program write to field 4.
        sheet.operatorEdit(3, u"xy"_s, 1);
        QCOMPARE(sheet.caret(3), 1);
        QCOMPARE(sheet.caret(4), 2);
    }

    void focusLeaveFormatsAndTotals_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QStringList>("fares"); // 30, 31, 32, 58, 33 before
        QTest::addColumn<QString>("left");      // field after leaving it
        QTest::addColumn<QString>("total");
        const QStringList defaults{u"CNY 0.00"_s, u"CN 0.00"_s, u"YQ 0.00"_s, u"XT 0.00"_s,
                                   u"CNY 0.00"_s};
        auto with = [&](int pos, const QString &v) {
            QStringList l = defaults;
            l[pos] = v;
            return l;
        };
        const QStringList four{u"1000"_s, u"50"_s, u"120"_s, u"0"_s, u"CNY 0.00"_s};
        // clang-format off
        QTest::newRow("fare 1200")       << 30 << with(0, u"1200"_s)         << u"CNY 1200.00"_s << u"CNY 1200.00"_s;
        QTest::newRow("foreign prefix")  << 31 << with(1, u"YQ 50"_s)        << u"CN 50.00"_s    << u"CNY 50.00"_s;
        QTest::newRow("separator")       << 30 << with(0, u"CNY 1,200.00"_s) << u"CNY 1200.00"_s << u"CNY 1200.00"_s;
        QTest::newRow("RMB reads 0")     << 30 << with(0, u"RMB1200"_s)      << u"CNY 0.00"_s    << u"CNY 0.00"_s;
        QTest::newRow("empty reads 0")   << 58 << with(3, QString())         << u"XT 0.00"_s     << u"CNY 0.00"_s;
        QTest::newRow("four summed 30")  << 30 << four                       << u"CNY 1000.00"_s << u"CNY 1170.00"_s;
        QTest::newRow("four summed 32")  << 32 << four                       << u"YQ 120.00"_s   << u"CNY 1170.00"_s;
        QTest::newRow("four summed 58")  << 58 << four                       << u"XT 0.00"_s     << u"CNY 1170.00"_s;
        QTest::newRow("total alone")     << 33 << with(4, u"999"_s)          << u"CNY 999.00"_s  << u"CNY 999.00"_s;
        QTest::newRow("total ignores")   << 33 << QStringList{u"5"_s, u"5"_s, u"5"_s, u"5"_s, u"7"_s}
                                               << u"CNY 7.00"_s << u"CNY 7.00"_s;
        QTest::newRow("half rounds up")  << 30 << with(0, u"0.125"_s)        << u"CNY 0.13"_s    << u"CNY 0.13"_s;
        // clang-format on
    }
    void focusLeaveFormatsAndTotals() {
        QFETCH(int, field);
        QFETCH(QStringList, fares);
        QFETCH(QString, left);
        QFETCH(QString, total);
        Itinerary sheet;
        const QList<int> order{30, 31, 32, 58, 33};
        for (int k = 0; k < order.size(); ++k)
            sheet.setText(order[k], fares[k]);
        sheet.leaveField(field);
        QCOMPARE(sheet.text(field), left);
        QCOMPARE(sheet.text(33), total);
    }

    void internationalModeLeavesFaresAlone() {
        Itinerary sheet;
        sheet.setIntlFlag(1);
        QCOMPARE(sheet.intlFlag(), qint16(1));
        sheet.setText(30, u"1200"_s);
        for (int f : {30, 31, 32, 58, 33})
            sheet.leaveField(f);
        QCOMPARE(sheet.text(30), u"1200"_s);
        QCOMPARE(sheet.text(33), u"CNY 0.00"_s);
    }

    void switchingModesReformatsNothing() {
        Itinerary sheet;
        sheet.setText(30, u"1200"_s);
        const QStringList before = sheet.texts();
        sheet.setIntlFlag(1);
        sheet.setIntlFlag(0);
        QCOMPARE(sheet.texts(), before);
        QCOMPARE(sheet.intlFlag(), qint16(0));
    }

    void leavingANonFareFieldDoesNothing() {
        Itinerary sheet;
        sheet.setText(35, u"12"_s);
        const QStringList before = sheet.texts();
        sheet.leaveField(35);
        sheet.leaveField(0);
        QCOMPARE(sheet.texts(), before);
    }

    void navigatesThroughThePassengers() {
        Itinerary sheet;
        importList(sheet, threePassengers());
        QCOMPARE(sheet.text(0), u"张三"_s);
        QVERIFY(!sheet.previousEnabled());
        QVERIFY(sheet.nextEnabled());

        sheet.showNextPassenger();
        QCOMPARE(sheet.currentPassenger(), qint16(1));
        QVERIFY(sheet.previousEnabled());
        QVERIFY(sheet.nextEnabled());
        sheet.showNextPassenger();
        QCOMPARE(sheet.text(0), u"王五"_s);
        QCOMPARE(sheet.text(1), u"110101199001019999"_s);
        QCOMPARE(sheet.text(34), u"781-2345678903"_s);
        QVERIFY(!sheet.nextEnabled());

        sheet.showNextPassenger(); // past the end: refused
        QCOMPARE(sheet.currentPassenger(), qint16(2));

        sheet.showPreviousPassenger();
        sheet.showPreviousPassenger();
        QCOMPARE(sheet.currentPassenger(), qint16(0));
        QCOMPARE(sheet.text(0), u"张三"_s);
        QVERIFY(!sheet.previousEnabled());
        QVERIFY(sheet.nextEnabled());
        sheet.showPreviousPassenger();
        QCOMPARE(sheet.currentPassenger(), qint16(0));
    }

    void twoPassengersAndOne() {
        Itinerary two;
        importList(two, threePassengers().mid(0, 2));
        two.showNextPassenger();
        QVERIFY(two.previousEnabled());
        QVERIFY(!two.nextEnabled());

        Itinerary one;
        importList(one, threePassengers().mid(0, 1));
        QVERIFY(!one.previousEnabled());
        QVERIFY(!one.nextEnabled());
        one.showNextPassenger();
        QCOMPARE(one.currentPassenger(), qint16(0));
    }

    // An entry with a fare row of its own writes it after its 0, 1 and 34, left to right; an
    // entry without one leaves the fare row as it stands.
    void navigationWritesAnEntrysOwnFareRow() {
        PassengerList list = threePassengers();
        list[0].fares =
            FareRow{u"CNY 1000.00"_s, u"CN 50.00"_s, u"YQ 0.00"_s, u"XT 0.00"_s, u"CNY 1050.00"_s};
        list[1].fares =
            FareRow{u"CNY 500.00"_s, u"CN 0.00"_s, u"YQ 0.00"_s, u"XT 1.00"_s, u"CNY 501.00"_s};
        Itinerary sheet;
        importList(sheet, list);
        QCOMPARE(sheet.text(33), u"CNY 1050.00"_s);
        QSignalSpy changes(&sheet, &Itinerary::textChanged);
        sheet.showNextPassenger();
        QList<int> order;
        for (const QList<QVariant> &change : std::as_const(changes))
            order.append(change.first().toInt());
        QCOMPARE(order, (QList<int>{0, 1, 34, 30, 31, 58, 33}));
        sheet.showNextPassenger();
        QCOMPARE(sheet.text(30), u"CNY 500.00"_s);
        sheet.showPreviousPassenger();
        sheet.showPreviousPassenger();
        QCOMPARE(sheet.texts().mid(30, 4),
                 (QStringList{u"CNY 1000.00"_s, u"CN 50.00"_s, u"YQ 0.00"_s, u"CNY 1050.00"_s}));
    }

    void indexNeverWrapsOnAHugeList() {
        Itinerary sheet;
        importList(sheet, PassengerList(40000, Passenger{u"A"_s, {}, {}}));
        sheet.setCurrentPassenger(32766);
        sheet.showNextPassenger();
        QCOMPARE(sheet.currentPassenger(), qint16(32767));
        sheet.showNextPassenger();
        QCOMPARE(sheet.currentPassenger(), qint16(32767));
    }

    void handEditIsNotWrittenBackIntoTheList() {
        Itinerary sheet;
        importList(sheet, threePassengers());
        sheet.operatorEdit(0, u"改名"_s, 2);
        sheet.setText(35, u"0042"_s);
        sheet.showNextPassenger();
        sheet.showPreviousPassenger();
        QCOMPARE(sheet.text(0), u"张三"_s);
        QCOMPARE(sheet.text(35), u"0042"_s);
    }

    void namesComeOutUpperCased() {
        Itinerary sheet;
        importList(sheet, {{u"zhang/san"_s, u"x"_s, u"781-1"_s}});
        QCOMPARE(sheet.text(0), u"ZHANG/SAN"_s);
        QCOMPARE(sheet.passengers().first().name, u"zhang/san"_s);
    }
};

QTEST_GUILESS_MAIN(TestItinerary)
#include "tst_itinerary.moc"
