#include "textimport/WrappedElement.h"

#include "textimport/TextCutting.h"

namespace itinerary {

namespace {

bool isLineBreak(QChar c) {
    return c == u'\r' || c == u'\n';
}

// A line of a wrapped element without its blanks and the terminal's continuation marks.
QStringView cleanLine(QStringView line) {
    while (!line.isEmpty() && line.back() == u' ')
        line.chop(1);
    while (!line.isEmpty() && (line.back() == u'+' || line.back() == u'-'))
        line.chop(1);
    while (!line.isEmpty() && line.back() == u' ')
        line.chop(1);
    while (!line.isEmpty() && line.front() == u' ')
        line = line.mid(1);
    return line;
}

} // namespace

bool startsWithElementNumber(QStringView line) {
    qsizetype i = 0;
    while (i < line.size() && line[i] == u' ')
        ++i;
    const qsizetype digits = i;
    while (i < line.size() && isAsciiDigit(line[i]))
        ++i;
    return i > digits && i < line.size() && line[i] == u'.' &&
           !(i + 1 < line.size() && isAsciiDigit(line[i + 1]));
}

QStringView joinedElement(QStringView text, qsizetype start, qsizetype limit, QString &storage) {
    storage.clear();
    bool severalLines = false;
    QStringView firstLine;
    qsizetype lineStart = start;
    while (true) {
        // The next element's number is seen at the line's start; the rest is not read.
        if (lineStart != start && startsWithElementNumber(text.mid(lineStart, limit - lineStart)))
            break;
        qsizetype lineEnd = lineStart;
        while (lineEnd < limit && !isLineBreak(text[lineEnd]))
            ++lineEnd;
        const QStringView line = text.mid(lineStart, lineEnd - lineStart);
        if (lineStart == start) {
            firstLine = cleanLine(line);
        } else {
            if (!severalLines)
                storage.append(firstLine);
            severalLines = true;
            storage.append(cleanLine(line));
        }
        if (lineEnd >= limit)
            break;
        lineStart = lineEnd + 1;
        if (text[lineEnd] == u'\r' && lineStart < limit && text[lineStart] == u'\n')
            ++lineStart;
    }
    return severalLines ? QStringView(storage) : firstLine;
}

} // namespace itinerary
