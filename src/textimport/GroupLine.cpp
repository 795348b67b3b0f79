#include "textimport/GroupLine.h"

#include "textimport/TextCutting.h"

namespace itinerary {

namespace {

constexpr QStringView NameCountMarker = u" NM";
constexpr qsizetype ShortestRecordCode = 5;
constexpr qsizetype LongestRecordCode = 6;

bool isLineBreak(QChar c) {
    return c == u'\r' || c == u'\n';
}

// The record code after " NM" and the count of names, or empty.
QString codeAfterNameCount(QStringView line, qsizetype afterMarker) {
    qsizetype i = afterMarker;
    while (i < line.size() && isAsciiDigit(line[i]))
        ++i;
    const qsizetype digitsEnd = i;
    while (i < line.size() && line[i] == u' ')
        ++i;
    if (i == digitsEnd)
        return QString();
    const qsizetype start = i;
    while (i < line.size() && (isAsciiLetter(line[i]) || isAsciiDigit(line[i])))
        ++i;
    const qsizetype length = i - start;
    const bool tokenEnds = i == line.size() || line[i] == u' ' || line[i] == u'\t';
    if (!tokenEnds || length < ShortestRecordCode || length > LongestRecordCode)
        return QString();
    return line.mid(start, length).toString();
}

// Where " NM" and a digit stand in the line, or -1.
qsizetype nameCountAt(QStringView line) {
    qsizetype at = line.indexOf(NameCountMarker);
    while (at >= 0) {
        const qsizetype digit = at + NameCountMarker.size();
        if (digit < line.size() && isAsciiDigit(line[digit]))
            return at;
        at = line.indexOf(NameCountMarker, at + 1);
    }
    return -1;
}

} // namespace

std::optional<GroupLine> findGroupLine(QStringView nameSection) {
    qsizetype lineStart = 0;
    while (lineStart < nameSection.size()) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < nameSection.size() && !isLineBreak(nameSection[lineEnd]))
            ++lineEnd;
        const QStringView line = nameSection.mid(lineStart, lineEnd - lineStart);
        qsizetype next = lineEnd;
        if (next < nameSection.size() && nameSection[next] == u'\r')
            ++next;
        if (next < nameSection.size() && nameSection[next] == u'\n')
            ++next;

        qsizetype first = 0;
        while (first < line.size() && line[first] == u' ')
            ++first;
        if (line.mid(first).startsWith(u"0.")) {
            const qsizetype count = nameCountAt(line);
            if (count >= 0)
                return GroupLine{lineStart, next,
                                 codeAfterNameCount(line, count + NameCountMarker.size())};
        }
        lineStart = next;
    }
    return std::nullopt;
}

} // namespace itinerary
