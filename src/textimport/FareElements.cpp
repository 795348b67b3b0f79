#include "textimport/FareElements.h"

#include "sheet/FareAmount.h"
#include "textimport/DecimalSum.h"
#include "textimport/TextCutting.h"

#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

constexpr QStringView ElementMarker = u"FN/A/";

bool isLineBreak(QChar c) {
    return c == u'\r' || c == u'\n';
}

// Blanks, digits and a dot: the line starts the display's next element. A digit after the
// dot makes it an amount that wrapped onto the line ("    50.00"), not an element number.
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

// The element's lines from `start` (just after its marker) up to `limit`, joined.
QString joinedElement(QStringView text, qsizetype start, qsizetype limit) {
    QString joined;
    qsizetype lineStart = start;
    while (true) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < limit && !isLineBreak(text[lineEnd]))
            ++lineEnd;
        const QStringView line = text.mid(lineStart, lineEnd - lineStart);
        if (lineStart != start && startsWithElementNumber(line))
            break;
        joined += cleanLine(line);
        if (lineEnd >= limit)
            break;
        lineStart = lineEnd + 1;
        if (text[lineEnd] == u'\r' && lineStart < limit && text[lineStart] == u'\n')
            ++lineStart;
    }
    return joined;
}

QString twoDecimals(std::optional<QStringView> amount) {
    return amount ? formatDecimalText(*amount) : u"0.00"_s;
}

struct Taxes {
    std::optional<QStringView> developmentFund; // CN
    std::optional<QStringView> fuelSurcharge;   // YQ
    DecimalSum other;
};

// One tax item (after its "TCNY"): an amount and the letters of its code.
void addTax(QStringView item, Taxes &taxes) {
    const qsizetype length = leadingNumberLength(item);
    if (length == 0)
        return; // names no tax
    const QStringView amount = item.left(length);
    qsizetype end = length;
    while (end < item.size() && isAsciiLetter(item[end]))
        ++end;
    const QStringView code = item.mid(length, end - length);
    if (code == u"CN" && !taxes.developmentFund)
        taxes.developmentFund = amount;
    else if (code == u"YQ" && !taxes.fuelSurcharge)
        taxes.fuelSurcharge = amount;
    else
        taxes.other.add(amount);
}

QString totalText(QStringView amount) {
    const qsizetype length = leadingNumberLength(amount);
    if (length > 0)
        return formatDecimalText(amount.left(length));
    return beforeMarker(amount, u".00").toString() + u".00"_s;
}

bool isAllDigits(QStringView item) {
    if (item.isEmpty())
        return false;
    for (QChar c : item) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

// The ordinals after the total: "P1", then "2", "3" ...
QList<Ordinal> namedPassengers(const QList<QStringView> &items, qsizetype total) {
    QList<Ordinal> ordinals;
    qsizetype i = total + 1;
    while (i < items.size() && !(items[i].startsWith(u'P') && isAllDigits(items[i].mid(1))))
        ++i;
    if (i == items.size())
        return ordinals;
    ordinals.append(leadingOrdinal(items[i].mid(1)));
    for (++i; i < items.size() && isAllDigits(items[i]); ++i)
        ordinals.append(leadingOrdinal(items[i]));
    return ordinals;
}

FareElement elementOf(QStringView joined) {
    FareElement element;
    QList<QStringView> items = cutText(joined, u"/");
    if (items.front() == u"IN") {
        element.infant = true;
        items.removeFirst();
    }
    std::array<std::optional<QStringView>, 3> fare; // FCNY, ECNY, SCNY
    std::optional<QStringView> total;
    qsizetype totalItem = -1;
    Taxes taxes;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QStringView item = items[i];
        const QStringView amount = item.mid(4);
        if (item.startsWith(u"TCNY"))
            addTax(amount, taxes);
        else if (item.startsWith(u"ACNY") && !total) {
            total = amount;
            totalItem = i;
        } else if (item.startsWith(u"FCNY") && !fare[0])
            fare[0] = amount;
        else if (item.startsWith(u"ECNY") && !fare[1])
            fare[1] = amount;
        else if (item.startsWith(u"SCNY") && !fare[2])
            fare[2] = amount;
    }
    const auto shownFare = fare[0] ? fare[0] : fare[1] ? fare[1] : fare[2];
    element.row.fare = u"CNY "_s + (shownFare ? shownFare->toString() : u"0.00"_s);
    element.row.developmentFund = u"CN "_s + twoDecimals(taxes.developmentFund);
    element.row.fuelSurcharge = u"YQ "_s + twoDecimals(taxes.fuelSurcharge);
    element.row.otherTaxes = u"XT "_s + formatDecimalText(taxes.other.text());
    element.row.total = u"CNY "_s + (total ? totalText(*total) : u"0.00"_s);
    if (totalItem >= 0)
        element.passengers = namedPassengers(items, totalItem);
    return element;
}

} // namespace

QList<FareElement> readFareElements(QStringView text) {
    QList<FareElement> elements;
    qsizetype at = text.indexOf(ElementMarker);
    while (at >= 0) {
        const qsizetype start = at + ElementMarker.size();
        at = text.indexOf(ElementMarker, start);
        const qsizetype limit = at < 0 ? text.size() : at;
        elements.append(elementOf(joinedElement(text, start, limit)));
    }
    return elements;
}

} // namespace itinerary
