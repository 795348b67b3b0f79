#include "textimport/TextCutting.h"

#include <algorithm>

namespace itinerary {

namespace {

// True when every line end of the text is already CR LF.
bool hasOnlyCrLf(const char16_t *p, qsizetype size) {
    for (qsizetype i = 0; i < size; ++i) {
        if (p[i] == u'\n')
            return false;
        if (p[i] == u'\r') {
            if (i + 1 == size || p[i + 1] != u'\n')
                return false;
            ++i;
        }
    }
    return true;
}

bool isDroppedControl(char16_t c) {
    return (c < u' ' && c != u'\t' && c != u'\r' && c != u'\n') || c == u'\x7f';
}

} // namespace

QString normaliseLineEnds(const QString &text) {
    const char16_t *p = QStringView(text).utf16();
    const qsizetype size = text.size();
    if (hasOnlyCrLf(p, size))
        return text; // the terminal's own form: shared, not copied
    QString out;
    out.reserve(size + size / 16);
    for (qsizetype i = 0; i < size; ++i) {
        if (p[i] == u'\r') {
            out.append(u"\r\n");
            if (i + 1 < size && p[i + 1] == u'\n')
                ++i;
        } else if (p[i] == u'\n') {
            out.append(u"\r\n");
        } else {
            out.append(QChar(p[i]));
        }
    }
    return out;
}

QString dropControlCharacters(const QString &text) {
    const char16_t *p = QStringView(text).utf16();
    const char16_t *end = p + text.size();
    if (std::none_of(p, end, isDroppedControl))
        return text;
    QString out(text.size(), Qt::Uninitialized);
    char16_t *to = reinterpret_cast<char16_t *>(out.data());
    const char16_t *last = std::remove_copy_if(p, end, to, isDroppedControl);
    out.truncate(last - to);
    return out;
}

QList<QStringView> cutText(QStringView text, QStringView marker) {
    return text.split(marker, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

std::optional<QStringView> itemAt(QStringView text, QChar separator, qsizetype index) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < index; ++i) {
        const qsizetype at = text.indexOf(separator, start);
        if (at < 0)
            return std::nullopt;
        start = at + 1;
    }
    const qsizetype end = text.indexOf(separator, start);
    return text.mid(start, (end < 0 ? text.size() : end) - start);
}

QStringView beforeMarker(QStringView text, QStringView marker) {
    const qsizetype at = text.indexOf(marker);
    return at < 0 ? text : text.left(at);
}

QStringView firstLine(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n')
            return text.left(i);
    }
    return text;
}

QStringView columns(QStringView line, qsizetype first, qsizetype last) {
    const qsizetype start = first - 1;
    if (start >= line.size() || last < first)
        return {};
    return line.mid(start, std::min(last, line.size()) - start);
}

} // namespace itinerary
