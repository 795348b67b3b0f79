#include "textimport/CodeList.h"

#include "base/AsciiText.h"
#include "sheet/TextRules.h"

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\u3000';
}

QStringView withoutBlanks(QStringView text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && isBlank(text[first]))
        ++first;
    while (end > first && isBlank(text[end - 1]))
        --end;
    return text.sliced(first, end - first);
}

bool hasControlCharacter(QStringView text) {
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

// Adds the entry of one line to `list`; false when the line holds none.
bool addEntry(QStringView line, CodeSource source, CodeList &list) {
    qsizetype codeEnd = 0;
    while (codeEnd < line.size() && !isBlank(line[codeEnd]))
        ++codeEnd;
    const QString code = toUpperSimple(line.first(codeEnd).toString());
    const QStringView name = withoutBlanks(line.sliced(codeEnd));
    if (name.isEmpty() || hasControlCharacter(name))
        return false;
    if (isAirportCode(code))
        list.airports.append(CodeEntry{code, name.toString(), source});
    else if (isAirlineCode(code))
        list.airlines.append(CodeEntry{code, name.toString(), source});
    else
        return false;
    return true;
}

} // namespace

bool isAirportCode(QStringView code) {
    return code.size() == 3 && isAsciiUpper(code[0]) && isAsciiUpper(code[1]) &&
           isAsciiUpper(code[2]);
}

bool isAirlineCode(QStringView code) {
    if (code.size() != 2)
        return false;
    const auto allowed = [](QChar c) { return isAsciiUpper(c) || isAsciiDigit(c); };
    return allowed(code[0]) && allowed(code[1]) && (isAsciiUpper(code[0]) || isAsciiUpper(code[1]));
}

CodeList parseCodeList(const QString &text, CodeSource source) {
    QString lineEnds = text;
    lineEnds.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    CodeList list;
    const QList<QStringView> lines = QStringView(lineEnds).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        const qsizetype comment = line.indexOf(u'#');
        if (comment >= 0)
            line = line.first(comment);
        line = withoutBlanks(line);
        if (!line.isEmpty() && !addEntry(line, source, list))
            list.unrecognisedLines.append(int(i + 1));
    }
    return list;
}

} // namespace itinerary
