#include "textimport/FareElements.h"

#include "sheet/FareAmount.h"
#include "textimport/DecimalSum.h"
#include "textimport/FieldText.h"
#include "textimport/TextCutting.h"
#include "textimport/WrappedElement.h"

#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

constexpr QStringView ElementMarker = u"FN/";

// "FN/" starts a fare element unless it ends a longer word or item ("XFN/", "A/FN/").
bool startsFareElement(QStringView text, qsizetype at) {
    if (at == 0)
        return true;
    const QChar before = text[at - 1];
    return !isAsciiLetter(before) && !isAsciiDigit(before) && before != u'/';
}

qsizetype nextFareElement(QStringView text, qsizetype from) {
    qsizetype at = text.indexOf(ElementMarker, from);
    while (at >= 0 && !startsFareElement(text, at))
        at = text.indexOf(ElementMarker, at + 1);
    return at;
}

// After "FN/", the pricing mode: "A/" (priced by the system) or "M/" (by hand), or none.
qsizetype itemsStart(QStringView text, qsizetype afterMarker, qsizetype limit) {
    if (afterMarker + 2 <= limit && text[afterMarker + 1] == u'/' &&
        (text[afterMarker] == u'A' || text[afterMarker] == u'M'))
        return afterMarker + 2;
    return afterMarker;
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

// The total of an element that gives none (an inclusive-tour fare hides it): its fare and
// taxes added up.
QString sumOfParts(std::optional<QStringView> fare, const Taxes &taxes) {
    DecimalSum sum;
    for (const std::optional<QStringView> &part :
         {fare, taxes.developmentFund, taxes.fuelSurcharge}) {
        if (part)
            sum.add(part->left(leadingNumberLength(*part)));
    }
    sum.add(taxes.other.text());
    return formatDecimalText(sum.text());
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

// The passengers the element names: the first item "P1", then "2", "3" ...
QList<Ordinal> namedPassengers(const QList<QStringView> &items) {
    QList<Ordinal> ordinals;
    qsizetype i = 0;
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
    Taxes taxes;
    for (const QStringView item : items) {
        const QStringView amount = item.mid(4);
        if (item.startsWith(u"TCNY"))
            addTax(amount, taxes);
        else if (item.startsWith(u"ACNY") && !total)
            total = amount;
        else if (item.startsWith(u"FCNY") && !fare[0])
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
    element.row.total = u"CNY "_s + (total ? totalText(*total) : sumOfParts(shownFare, taxes));
    element.row.fare = fieldText(element.row.fare);
    element.row.total = fieldText(element.row.total);
    element.passengers = namedPassengers(items);
    return element;
}

} // namespace

QList<FareElement> readFareElements(QStringView text) {
    QList<FareElement> elements;
    QString storage;
    qsizetype at = nextFareElement(text, 0);
    while (at >= 0) {
        const qsizetype afterMarker = at + ElementMarker.size();
        at = nextFareElement(text, afterMarker);
        const qsizetype limit = at < 0 ? text.size() : at;
        elements.append(
            elementOf(joinedElement(text, itemsStart(text, afterMarker, limit), limit, storage)));
    }
    return elements;
}

} // namespace itinerary
