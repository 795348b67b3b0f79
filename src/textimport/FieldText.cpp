#include "textimport/FieldText.h"

#include <algorithm>

namespace itinerary {

namespace {

bool isLineBreak(QChar c) {
    return c == u'\r' || c == u'\n';
}

bool isBlankOrLineBreak(QChar c) {
    return c == u' ' || c == u'\t' || isLineBreak(c);
}

} // namespace

QString fieldText(const QString &value) {
    const auto plain = [](QChar c) { return c != u'\t' && !isLineBreak(c); };
    if (std::all_of(value.begin(), value.end(), plain))
        return value; // shared, not copied

    QString out;
    out.reserve(value.size());
    qsizetype i = 0;
    while (i < value.size()) {
        const QChar c = value[i];
        if (!isLineBreak(c)) {
            out.append(c == u'\t' ? QChar(u' ') : c);
            ++i;
            continue;
        }
        bool endedInBlanks = false;
        while (!out.isEmpty() && out.back() == u' ') {
            out.chop(1);
            endedInBlanks = true;
        }
        while (i < value.size() && isBlankOrLineBreak(value[i]))
            ++i;
        if (endedInBlanks && !out.isEmpty() && i < value.size())
            out.append(u' ');
    }
    return out;
}

} // namespace itinerary
