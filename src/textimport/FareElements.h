#pragma once

#include "sheet/Passenger.h"
#include "textimport/PassengerOrdinal.h"

#include <QList>
#include <QStringView>

namespace itinerary {

// One fare element of the booking display ("FN/A/..."): an adult's or child's fare, or an
// infant's ("FN/A/IN/..."), and the passengers it names.
struct FareElement {
    bool infant = false;
    FareRow row;
    // The ordinals after the total ("/P1/2"); empty when the element names nobody.
    QList<Ordinal> passengers;
    bool operator==(const FareElement &) const = default;
};

// Every fare element of `text`, in text order. An element starts at each "FN/A/" and runs to
// the next "FN/A/", the next line that starts with an element number (blanks, digits, "."
// and no digit after it) or the end of the text. Its lines, each stripped of trailing blanks, then
// of trailing "+" and "-" continuation marks, then of blanks at both ends, are joined, and the text
// is cut at
// "/" into items:
// - a first item "IN" marks an infant's element;
// - fare (30): "CNY " and the text after the first "FCNY" item's prefix (else "ECNY", else
//   "SCNY"; none: "0.00"), as displayed;
// - taxes: each "TCNY" item is an amount followed by its tax code: the first CN gives 31,
//   the first YQ 32, all others sum into 58; an absent tax is 0.00;
// - total (33): "CNY " and the first "ACNY" item's amount ("0.00" without one);
// - after the "ACNY" item, an item "P" and digits names a passenger, and the all-digit items
//   that follow it name more.
// Amounts other than the fare are written with exactly two decimals (rounded half away from
// zero); a total that does not start with a number keeps the display's own rule: the text
// before its ".00", then ".00".
QList<FareElement> readFareElements(QStringView text);

} // namespace itinerary
