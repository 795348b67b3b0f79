#include "webimport/CharacterReferences.h"

#include <array>
#include <optional>
#include <utility>

namespace itinerary {

namespace {

constexpr std::array<std::pair<QStringView, char16_t>, 6> NamedReferences{{
    {u"&amp;", u'&'},
    {u"&lt;", u'<'},
    {u"&gt;", u'>'},
    {u"&quot;", u'"'},
    {u"&apos;", u'\''},
    {u"&nbsp;", u' '},
}};

struct Decoded {
    char32_t codePoint = 0;
    qsizetype length = 0; // characters of the reference, "&" to ";"
};

// A numeric reference "&#...;" at the start of `text`.
std::optional<Decoded> numericReference(QStringView text) {
    if (!text.startsWith(u"&#"))
        return std::nullopt;
    qsizetype i = 2;
    const bool hex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
    if (hex)
        ++i;
    const qsizetype digitsBegin = i;
    char32_t value = 0;
    bool tooLarge = false;
    for (; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        int digit = -1;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (hex && u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (hex && u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        if (digit < 0)
            break;
        if (!tooLarge) {
            value = value * (hex ? 16 : 10) + char32_t(digit);
            tooLarge = value > 0x10FFFF;
        }
    }
    if (i == digitsBegin || i >= text.size() || text[i] != u';')
        return std::nullopt;
    if (tooLarge || value == 0 || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    return Decoded{value, i + 1};
}

} // namespace

QString decodeCharacterReferences(const QString &text) {
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype copied = 0;
    while (amp >= 0) {
        const QStringView rest = QStringView(text).sliced(amp);
        qsizetype consumed = 0;
        char32_t codePoint = 0;
        for (const auto &[name, character] : NamedReferences) {
            if (rest.startsWith(name)) {
                consumed = name.size();
                codePoint = character;
                break;
            }
        }
        if (consumed == 0) {
            if (const auto numeric = numericReference(rest)) {
                consumed = numeric->length;
                codePoint = numeric->codePoint;
            }
        }
        if (consumed == 0) {
            amp = text.indexOf(u'&', amp + 1);
            continue;
        }
        out.append(QStringView(text).sliced(copied, amp - copied));
        if (QChar::requiresSurrogates(codePoint)) {
            out.append(QChar(QChar::highSurrogate(codePoint)));
            out.append(QChar(QChar::lowSurrogate(codePoint)));
        } else {
            out.append(QChar(char16_t(codePoint)));
        }
        copied = amp + consumed;
        amp = text.indexOf(u'&', copied);
    }
    out.append(QStringView(text).sliced(copied));
    return out;
}

} // namespace itinerary
