#include "sheet/TextRules.h"

namespace itinerary {

QString toUpperSimple(const QString &text) {
    QString out = text;
    const qsizetype size = out.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = out.at(i);
        if (c.isHighSurrogate() && i + 1 < size && out.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, out.at(i + 1));
            const char32_t upper = QChar::toUpper(code);
            if (upper != code && QChar::requiresSurrogates(upper)) {
                out[i] = QChar(QChar::highSurrogate(upper));
                out[i + 1] = QChar(QChar::lowSurrogate(upper));
            }
            ++i;
            continue;
        }
        const char32_t upper = QChar::toUpper(char32_t(c.unicode()));
        if (upper != c.unicode() && !QChar::requiresSurrogates(upper))
            out[i] = QChar(char16_t(upper));
    }
    return out;
}

QString foldFullWidthColons(const QString &text) {
    QString out = text;
    out.replace(QChar(0xFF1A), QLatin1Char(':'));
    return out;
}

QString foldFullWidthDigits(const QString &text) {
    QString out = text;
    for (QChar &c : out) {
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19)
            c = QChar(char16_t(u'0' + (c.unicode() - 0xFF10)));
    }
    return out;
}

namespace {
template <typename IsTrimmed> QString trimIf(const QString &text, IsTrimmed isTrimmed) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmed(text.at(begin)))
        ++begin;
    while (end > begin && isTrimmed(text.at(end - 1)))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}
} // namespace

QString trimBlanks(const QString &text) {
    return trimIf(text, [](QChar c) { return c == QLatin1Char(' '); });
}

QString trimWhitespace(const QString &text) {
    return trimIf(text, [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
               c == QLatin1Char('\n');
    });
}

} // namespace itinerary
