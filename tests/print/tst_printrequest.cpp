#include "print/PrintRequest.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
const QDateTime Moment(QDate(2026, 12, 7), QTime(9, 5, 3));
}

class TestPrintRequest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void allEmptyFieldsGiveFiftyEightCommas() {
        Itinerary sheet;
        for (int i = 0; i < FieldCount; ++i)
            sheet.setText(i, QString());
        QCOMPARE(joinFieldValues(sheet), QString(58, u','));
    }

    void knownSheetGivesTheExactAddress() {
        Itinerary sheet;
        sheet.setText(Field::Name, u"张三"_s);
        sheet.setText(Field::RecordCode, u"abc123"_s);
        sheet.setText(Field::CheckCode, u" 0042 "_s);
        sheet.setText(Field::IssuingUnit, u"  北京 & 上海, 公司 "_s);
        sheet.setText(Field::Notice, u"\t"_s); // only blanks are trimmed
        sheet.setIntlFlag(1);
        const QString fields = joinFieldValues(sheet);
        QCOMPARE(fields,
                 u"张三,,不得签转,ABC123,ABC123,,,,,,,,,,,,,,,,,,,,,,,,,,CNY 0.00,CN 0.00,"
                 "YQ 0.00,CNY 0.00,,0042,\t,XXX,,北京 & 上海%2C 公司,,,,,,,,,,,,,,,,,,,XT 0.00"_s);
        QCOMPARE(fields.count(u','), 58); // the comma inside field 39 travels as %2C
        QCOMPARE(printRequestAddress(u"http://127.0.0.1:8091/Print/print.asp"_s, sheet.intlFlag(),
                                     fields, Moment),
                 u"http://127.0.0.1:8091/Print/print.asp?l=1&p="_s + fields +
                     u"&2026/12/7 9:05:03"_s);
    }

    void timeStampChangesEverySecond_data() {
        QTest::addColumn<QDateTime>("first");
        QTest::addColumn<QDateTime>("second");
        QTest::addColumn<bool>("same");
        const QDateTime t = Moment;
        QTest::newRow("same second") << t << t.addMSecs(999) << true;
        QTest::newRow("next second") << t << t.addSecs(1) << false;
        QTest::newRow("minute rolls over") << t.addSecs(56) << t.addSecs(57) << false;
        QTest::newRow("next day same time") << t << t.addDays(1) << false;
    }
    void timeStampChangesEverySecond() {
        QFETCH(QDateTime, first);
        QFETCH(QDateTime, second);
        QFETCH(bool, same);
        QCOMPARE(requestTimeStamp(first) == requestTimeStamp(second), same);
        QCOMPARE(requestTimeStamp(Moment), u"2026/12/7 9:05:03"_s);
        QCOMPARE(printRequestAddress(u"u"_s, 0, QString(), first) ==
                     printRequestAddress(u"u"_s, 0, QString(), second),
                 same);
    }

    void wireEncoding_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("wire");
        // clang-format off
        QTest::newRow("time-stamp")       << u"http://h/p.asp?l=0&p=A,B&2026/12/7 9:05:03"_s
                                          << QByteArray("http://h/p.asp?l=0&p=A,B&2026%2F12%2F7%209%3A05%3A03");
        QTest::newRow("hash percent plus")<< u"http://h/p?p=#1,50%,a+b"_s
                                          << QByteArray("http://h/p?p=%231,50%25,a%2Bb");
        QTest::newRow("chinese as UTF-8") << u"http://h/p?p=中"_s     << QByteArray("http://h/p?p=%E4%B8%AD");
        QTest::newRow("unreserved stay")  << u"http://h/p?p=aZ09-._~"_s << QByteArray("http://h/p?p=aZ09-._~");
        QTest::newRow("second question")  << u"http://h/p?p=a?b"_s    << QByteArray("http://h/p?p=a%3Fb");
        QTest::newRow("separators stay")  << u"http://h/p?l=1&p=,,&"_s << QByteArray("http://h/p?l=1&p=,,&");
        QTest::newRow("base as it stands")<< u"http://h:80/a b/p.asp?x"_s << QByteArray("http://h:80/a b/p.asp?x");
        QTest::newRow("no query")         << u"http://h/p.asp"_s       << QByteArray("http://h/p.asp");
        QTest::newRow("captcha address")  << u"http://h/newsky/servlet/CallYanServlet?2026/12/7 9:05:03"_s
                                          << QByteArray("http://h/newsky/servlet/CallYanServlet?2026%2F12%2F7%209%3A05%3A03");
        QTest::newRow("quotes and angles")<< u"http://h/p?p=\"<'>\\"_s << QByteArray("http://h/p?p=%22%3C%27%3E%5C");
        QTest::newRow("escapes kept")     << u"http://h/p?p=A%2CB,50%25,%4"_s << QByteArray("http://h/p?p=A%2CB,50%25,%254");
        QTest::newRow("escaped values")   << u"http://h/p?l=0&p="_s + joinRequestValues({u"ZHANG,SAN"_s, u"%2C 100%"_s, u"中,"_s})
                                          << QByteArray("http://h/p?l=0&p=ZHANG%2CSAN,%252C%20100%25,%E4%B8%AD%2C");
        // clang-format on
    }
    void wireEncoding() {
        QFETCH(QString, address);
        QFETCH(QByteArray, wire);
        QCOMPARE(encodeRequestForWire(address), wire);
    }
};

QTEST_GUILESS_MAIN(TestPrintRequest)
#include "tst_printrequest.moc"
