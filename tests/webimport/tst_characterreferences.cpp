#include "webimport/CharacterReferences.h"

#include <QTest>

using namespace itinerary;
using namespace Qt::StringLiterals;

class TestCharacterReferences final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodesReferences_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decoded");
        // clang-format off
        QTest::newRow("none")                 << u"退改签 CA1501"_s       << u"退改签 CA1501"_s;
        QTest::newRow("ampersand")            << u"退改&amp;签"_s         << u"退改&签"_s;
        QTest::newRow("angle brackets")       << u"&lt;B&gt;"_s           << u"<B>"_s;
        QTest::newRow("quotes")               << u"&quot;&#39;&apos;"_s   << u"\"''"_s;
        QTest::newRow("nbsp is a space")      << u"A&nbsp;B"_s            << u"A B"_s;
        QTest::newRow("decimal")              << u"&#20320;&#22909;"_s    << u"你好"_s;
        QTest::newRow("hexadecimal")          << u"&#x4F60;&#X597d;"_s    << u"你好"_s;
        QTest::newRow("beyond the BMP")       << u"&#x1F600;"_s           << u"\U0001F600"_s;
        QTest::newRow("one pass only")        << u"&amp;lt;"_s            << u"&lt;"_s;
        QTest::newRow("no semicolon")         << u"&amp &#65"_s           << u"&amp &#65"_s;
        QTest::newRow("unknown name")         << u"&copy;&AMP;"_s         << u"&copy;&AMP;"_s;
        QTest::newRow("no digits")            << u"&#;&#x;"_s             << u"&#;&#x;"_s;
        QTest::newRow("zero")                 << u"&#0;"_s                << u"&#0;"_s;
        QTest::newRow("surrogate")            << u"&#xD800;"_s            << u"&#xD800;"_s;
        QTest::newRow("beyond Unicode")       << u"&#x110000;"_s          << u"&#x110000;"_s;
        QTest::newRow("huge number")          << u"&#99999999999999999999;"_s << u"&#99999999999999999999;"_s;
        QTest::newRow("leading zeros")        << u"&#00065;"_s            << u"A"_s;
        QTest::newRow("lone ampersand at end")<< u"A&"_s                  << u"A&"_s;
        QTest::newRow("bad then good")        << u"&x&amp;"_s             << u"&x&"_s;
        QTest::newRow("empty")                << QString()                << QString();
        // clang-format on
    }
    void decodesReferences() {
        QFETCH(QString, text);
        QFETCH(QString, decoded);
        QCOMPARE(decodeCharacterReferences(text), decoded);
    }
};

QTEST_APPLESS_MAIN(TestCharacterReferences)
#include "tst_characterreferences.moc"
