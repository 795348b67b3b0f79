#include "SitePageReader.h"

#include <QRegularExpression>

#include <array>

using namespace Qt::StringLiterals;

namespace sitetest {

namespace {

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiLetterOrDigit(QChar c) {
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

// Position of the next "<table" start tag at or after `from`, or -1.
qsizetype nextTableStart(const QString &markup, qsizetype from) {
    static const QRegularExpression start(u"<table(?=[\\s>/])"_s,
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = start.match(markup, from);
    return match.hasMatch() ? match.capturedStart() : -1;
}

// The end of the start tag at `from`: the first ">" outside a quoted attribute value.
qsizetype startTagEnd(const QString &markup, qsizetype from) {
    QChar quote;
    for (qsizetype i = from; i < markup.size(); ++i) {
        const QChar c = markup.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i;
        }
    }
    return -1;
}

QString decodeReferences(const QString &value) {
    static const QRegularExpression reference(u"&(#[0-9]+|#[xX][0-9a-fA-F]+|[a-zA-Z]+);"_s);
    QString result;
    qsizetype last = 0;
    auto it = reference.globalMatch(value);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString name = m.captured(1);
        QString replacement;
        if (name.startsWith(u"#x"_s) || name.startsWith(u"#X"_s)) {
            const char32_t code = name.mid(2).toUInt(nullptr, 16);
            replacement = QString::fromUcs4(&code, 1);
        } else if (name.startsWith(u'#')) {
            const char32_t code = name.mid(1).toUInt();
            replacement = QString::fromUcs4(&code, 1);
        } else if (name == u"amp"_s) {
            replacement = u"&"_s;
        } else if (name == u"lt"_s) {
            replacement = u"<"_s;
        } else if (name == u"gt"_s) {
            replacement = u">"_s;
        } else if (name == u"quot"_s) {
            replacement = u"\""_s;
        } else if (name == u"apos"_s) {
            replacement = u"'"_s;
        } else if (name == u"nbsp"_s) {
            replacement = u" "_s;
        } else {
            continue;
        }
        result += value.mid(last, m.capturedStart() - last) + replacement;
        last = m.capturedEnd();
    }
    return result + value.mid(last);
}

const QString PixelMarker = u"px\">"_s;

struct Column {
    int cell;
    std::array<int, 4> fields;
};
constexpr std::array<Column, 8> SegmentColumns{{
    {1, {5, 13, 21, 29}},
    {3, {6, 14, 22, 57}},
    {4, {7, 15, 23, 56}},
    {5, {8, 16, 24, 55}},
    {6, {9, 17, 25, 54}},
    {7, {10, 18, 26, 53}},
    {8, {11, 19, 27, 52}},
    {11, {12, 20, 28, 50}},
}};

} // namespace

QString upperCaseTagNames(const QString &markup) {
    QString result = markup;
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (result.at(i) != u'<')
            continue;
        qsizetype j = i + 1;
        if (j < result.size() && result.at(j) == u'/')
            ++j;
        if (j >= result.size() || !isAsciiLetter(result.at(j)))
            continue;
        while (j < result.size() && isAsciiLetterOrDigit(result.at(j))) {
            result[j] = result.at(j).toUpper();
            ++j;
        }
    }
    return result;
}

int tableCount(const QString &markup) {
    int count = 0;
    for (qsizetype at = nextTableStart(markup, 0); at >= 0; at = nextTableStart(markup, at + 1))
        ++count;
    return count;
}

std::optional<QString> thirdTableInner(const QString &markup) {
    qsizetype start = nextTableStart(markup, 0);
    for (int n = 0; n < 2 && start >= 0; ++n)
        start = nextTableStart(markup, start + 1);
    if (start < 0)
        return std::nullopt;
    const qsizetype innerStart = startTagEnd(markup, start);
    if (innerStart < 0)
        return std::nullopt;
    int depth = 1;
    qsizetype at = innerStart + 1;
    while (at < markup.size()) {
        const qsizetype open = nextTableStart(markup, at);
        const qsizetype close = markup.indexOf(u"</table>"_s, at, Qt::CaseInsensitive);
        if (close < 0)
            return std::nullopt;
        if (open >= 0 && open < close) {
            ++depth;
            at = open + 1;
            continue;
        }
        if (--depth == 0)
            return markup.mid(innerStart + 1, close - innerStart - 1);
        at = close + 1;
    }
    return std::nullopt;
}

QStringList cut(const QString &text, const QString &marker) {
    if (text.isEmpty())
        return {};
    return text.split(marker, Qt::KeepEmptyParts);
}

std::optional<QMap<int, QString>> readResultFields(const QString &inner) {
    QMap<int, QString> fields;
    for (int i : {0, 2, 30, 31, 32, 33, 34, 36, 58})
        fields.insert(i, QString());
    for (int i = 5; i <= 29; ++i)
        fields.insert(i, QString());
    for (int i = 50; i <= 57; ++i)
        fields.insert(i, QString());

    const QStringList rows = cut(inner, u"</TR>"_s);
    if (rows.size() < 6)
        return std::nullopt;
    auto piece = [](const QStringList &pieces, qsizetype n) -> std::optional<QString> {
        if (n < 0 || n >= pieces.size())
            return std::nullopt;
        return pieces.at(n);
    };
    auto write = [&fields](int field, const QString &value) {
        fields[field] = decodeReferences(value);
    };

    // Passenger row.
    const QStringList passenger = cut(rows.at(1), u"</TD>"_s);
    if (passenger.size() < 3)
        return std::nullopt;
    const auto nameHead = piece(cut(passenger.at(0), u"</DIV>"_s), 0);
    if (!nameHead)
        return std::nullopt;
    const QStringList nameParts = cut(*nameHead, u">"_s);
    if (nameParts.isEmpty())
        return std::nullopt;
    write(0, nameParts.last());
    const auto endorsement = piece(cut(passenger.at(2), u">"_s), 1);
    if (!endorsement)
        return std::nullopt;
    write(2, QString(*endorsement).replace(u"&nbsp;"_s, u" "_s));

    // Segment row.
    const QStringList segments = cut(rows.at(3), u"</TD>"_s);
    if (segments.size() < 12)
        return std::nullopt;
    for (const Column &column : SegmentColumns) {
        const QStringList entries = cut(segments.at(column.cell), u"<BR>"_s);
        const qsizetype last = entries.size() - 1;
        for (qsizetype i = 0; i <= last && i < 4; ++i) {
            QString value;
            if (i == 0) {
                const auto first = piece(cut(entries.at(0), PixelMarker), 1);
                if (!first)
                    return std::nullopt;
                value = first->left(first->indexOf(u"</"_s) < 0 ? first->size()
                                                                : first->indexOf(u"</"_s));
            } else if (i == last) {
                value = cut(entries.at(i), u"</"_s).value(0);
            } else {
                value = entries.at(i);
            }
            write(column.fields[size_t(i)], value);
        }
    }

    // Amounts.
    const QStringList amounts = cut(rows.at(4), u"</TD>"_s);
    if (amounts.size() < 5)
        return std::nullopt;
    const std::array<int, 5> amountFields{30, 31, 32, 58, 33};
    for (qsizetype c = 0; c < 5; ++c) {
        const auto text = piece(cut(amounts.at(c), u">"_s), c == 0 ? 2 : 1);
        if (!text)
            return std::nullopt;
        QString value = QString(*text).remove(u"&nbsp;"_s) + u"0"_s;
        if (c >= 1 && c <= 3)
            value.remove(u"CNY "_s);
        write(amountFields[size_t(c)], value);
    }

    // Ticket data.
    const QStringList ticket = cut(rows.at(5), u"</TD>"_s);
    if (ticket.size() < 3)
        return std::nullopt;
    const auto numberHead = piece(cut(ticket.at(0), u"</DIV>"_s), 0);
    const auto number = numberHead ? piece(cut(*numberHead, PixelMarker), 1) : std::nullopt;
    const auto notice = piece(cut(ticket.at(2), u">"_s), 1);
    if (!number || !notice)
        return std::nullopt;
    write(34, *number);
    write(36, *notice);
    return fields;
}

} // namespace sitetest
