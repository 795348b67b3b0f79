#include "app/ClickableLabel.h"
#include "app/MainPrint.h"
#include "app/SheetFieldEdit.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
Config testConfig() {
    Config c;
    c.siteHomeUrl = u"http://127.0.0.1:1/"_s;
    c.captchaUrl = Config::captchaUrlFor(c.siteHomeUrl);
    return c;
}

// The next control that Tab reaches from `w`.
QWidget *nextTabStop(QWidget *w) {
    QWidget *next = w->nextInFocusChain();
    while (next != w && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

void typeInto(QWidget *w, const QString &text) {
    QTest::keyClicks(w, text);
}
} // namespace

class TestMainPrint final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layoutFollowsTheFieldTable() {
        MainPrint w(testConfig());
        QCOMPARE(w.size(), QSize(871, 335));
        QCOMPARE(w.field(0)->geometry(), QRect(192, 48, 105, 25));
        QCOMPARE(w.field(57)->geometry(), QRect(128, 208, 65, 25));
        // Field 4, the browser and the print picture lie outside the client area.
        QVERIFY(!w.rect().intersects(w.field(4)->geometry()));
        QVERIFY(!w.rect().intersects(w.Image1->geometry()));
        QCOMPARE(w.Command1->text(), u"导入"_s);
        QVERIFY(!w.Command1->isEnabled());
        QVERIFY(!w.cmdpau->isEnabled());
        QVERIFY(!w.cmdnext->isEnabled());
        QCOMPARE(w.field(2)->text(), u"不得签转"_s);
        if (qEnvironmentVariableIsSet("ITINERARY_SCREENSHOT")) {
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.grab().save(qEnvironmentVariable("ITINERARY_SCREENSHOT"));
        }
    }

    void typingRunsTheChangeRule() {
        MainPrint w(testConfig());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        SheetFieldEdit *pnr = w.field(3);
        pnr->setFocus();
        typeInto(pnr, u"hxyz12"_s);
        QCOMPARE(pnr->text(), u"HXYZ12"_s);
        QCOMPARE(w.field(4)->text(), u"HXYZ12"_s);
        QCOMPARE(pnr->cursorPosition(), 6);

        SheetFieldEdit *name = w.field(0);
        name->setFocus();
        typeInto(name, u"xy"_s);
        name->setCursorPosition(1);
        typeInto(name, u"ab"_s);
        QCOMPARE(name->text(), u"XABY"_s);
        QCOMPARE(name->cursorPosition(), 3);

        w.field(36)->setFocus();
        typeInto(w.field(36), u"a:b"_s);
        QCOMPARE(w.sheet().text(36), u"A:B"_s);
    }

    void programWritesShowAtOnce() {
        MainPrint w(testConfig());
        w.sheet().setText(0, u"zhang"_s);
        QCOMPARE(w.field(0)->text(), u"ZHANG"_s);
        QCOMPARE(w.field(0)->cursorPosition(), 5);
    }

    void leavingAFareFieldFormatsBeforeTheClick() {
        MainPrint w(testConfig());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        SheetFieldEdit *fare = w.field(30);
        fare->setFocus();
        fare->selectAll();
        typeInto(fare, u"1200"_s);
        QCOMPARE(fare->text(), u"1200"_s);
        // Clicking "国际" moves focus first: the fare is formatted in domestic mode, and only
        // then is the flag switched.
        QTest::mouseClick(w.Option2, Qt::LeftButton);
        QCOMPARE(fare->text(), u"CNY 1200.00"_s);
        QCOMPARE(w.sheet().text(33), u"CNY 1200.00"_s);
        QCOMPARE(w.sheet().intlFlag(), qint16(1));
        QVERIFY(w.Option2->isChecked());

        // International mode: leaving a fare field changes nothing.
        w.field(31)->setFocus();
        w.field(31)->selectAll();
        typeInto(w.field(31), u"50"_s);
        w.field(32)->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.sheet().text(31), u"50"_s);
    }

    void windowDeactivationDoesNotFormat() {
        MainPrint w(testConfig());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        SheetFieldEdit *fare = w.field(30);
        fare->setFocus();
        fare->selectAll();
        typeInto(fare, u"99"_s);
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(fare, &out);
        QCOMPARE(fare->text(), u"99"_s);
    }

    void captchaIsUpperCasedWithTheCaretAtTheEnd() {
        MainPrint w(testConfig());
        w.Text1->setFocus();
        typeInto(w.Text1, u"ab"_s);
        w.Text1->setCursorPosition(1);
        typeInto(w.Text1, u"c"_s);
        QCOMPARE(w.Text1->text(), u"ACB"_s);
        QCOMPARE(w.Text1->cursorPosition(), 3);
    }

    void focusOrderRunsThroughTheSheet() {
        MainPrint w(testConfig());
        QCOMPARE(nextTabStop(w.Text1), w.Command1);
        QCOMPARE(nextTabStop(w.Command3), w.leftr);
        QCOMPARE(nextTabStop(w.topb), w.field(0));
        QCOMPARE(nextTabStop(w.field(3)), w.field(5));
        QCOMPARE(nextTabStop(w.field(58)), w.field(4));
    }
};

QTEST_MAIN(TestMainPrint)
#include "tst_mainprint.moc"
