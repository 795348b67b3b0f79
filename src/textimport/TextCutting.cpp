#include "textimport/TextCutting.h"

#include <algorithm>

namespace itinerary {

QString normaliseLineEnds(const QString &text) {
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            out.append(u"\r\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out.append(u"\r\n");
        } else {
            out.append(c);
        }
    }
    return out;
}

namespace {

bool isDroppedControl(QChar c) {
    return (c < u' ' && c != u'\t' && c != u'\r' && c != u'\n') || c == u'\x7f';
}

} // namespace

QString dropControlCharacters(const QString &text) {
    if (std::none_of(text.begin(), text.end(), isDroppedControl))
        return text;
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (!isDroppedControl(c))
            out.append(c);
    }
    return out;
}

QList<QStringView> cutText(QStringView text, QStringView marker) {
    return text.split(marker, Qt::KeepEmptyParts, Qt::CaseSensitive);
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
