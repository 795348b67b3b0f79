#include "textimport/FareImport.h"

#include "sheet/FareAmount.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "textimport/DecimalSum.h"
#include "textimport/TextCutting.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

constexpr QStringView FareLineMarker = u"FN/A/FCNY";
constexpr QStringView TaxMarker = u"/TCNY";
constexpr QStringView TotalMarker = u"ACNY";

bool isAsciiLetter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

struct Taxes {
    std::optional<QStringView> developmentFund; // CN
    std::optional<QStringView> fuelSurcharge;   // YQ
    DecimalSum other;
};

Taxes readTaxes(QStringView fareLine) {
    Taxes taxes;
    const QList<QStringView> items = cutText(fareLine, TaxMarker);
    for (qsizetype i = 1; i < items.size(); ++i) {
        const QStringView item = items[i];
        const qsizetype length = leadingNumberLength(item);
        if (length == 0)
            continue; // names no tax: an exempt tax or a broken item
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
    return taxes;
}

QString twoDecimals(std::optional<QStringView> amount) {
    return amount ? formatDecimalText(*amount) : u"0.00"_s;
}

// A total that does not start with a number keeps the display's own rule: the text before
// its ".00", then ".00".
QString totalText(QStringView piece) {
    const qsizetype length = leadingNumberLength(piece);
    if (length > 0)
        return formatDecimalText(piece.left(length));
    return beforeMarker(piece, u".00").toString() + u".00"_s;
}

} // namespace

void importFares(QStringView text, Itinerary &sheet) {
    const qsizetype start = text.indexOf(FareLineMarker);
    if (start < 0)
        return;
    const QStringView fareLine =
        beforeMarker(text.mid(start + FareLineMarker.size()), FareLineMarker);

    const qsizetype slash = fareLine.indexOf(u'/');
    if (slash >= 0)
        sheet.setText(Field::Fare, u"CNY "_s + fareLine.left(slash).toString());

    const Taxes taxes = readTaxes(fareLine);
    sheet.setText(Field::DevelopmentFund, u"CN "_s + twoDecimals(taxes.developmentFund));
    sheet.setText(Field::FuelSurcharge, u"YQ "_s + twoDecimals(taxes.fuelSurcharge));
    sheet.setText(Field::OtherTaxes, u"XT "_s + formatDecimalText(taxes.other.text()));

    const qsizetype total = fareLine.indexOf(TotalMarker);
    if (total >= 0) {
        const QStringView piece =
            beforeMarker(fareLine.mid(total + TotalMarker.size()), TotalMarker);
        sheet.setText(Field::Total, u"CNY "_s + totalText(piece));
    }
}

} // namespace itinerary
