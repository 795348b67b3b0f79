#pragma once

#include "sheet/Passenger.h"
#include "textimport/PassengerOrdinal.h"

#include <QList>
#include <QStringView>

namespace itinerary {

// One fare element of the booking display ("FN/A/...", "FN/M/...", "FN/..."): an adult's or
// child's fare, or an infant's ("FN/A/IN/..."), and the passengers it names.
struct FareElement {
    bool infant = false;
    FareRow row;
    // The ordinals it names ("/P1/2"); empty when the element names nobody.
    QList<Ordinal> passengers;
    bool operator==(const FareElement &) const = default;
};

// Every fare element of `text`, in text order. An element starts at each "FN/" that does not
// follow an ASCII letter, digit or "/", with an optional pricing mode after it: "A/" (priced
// by the system) or "M/" (by hand). It runs to the next element's "FN/", the next line that
// starts with an element number or the end of the text, read whole as a wrapped element
// (WrappedElement.h), and its text after the mode is cut at "/" into items:
// - a first item "IN" marks an infant's element;
// - fare (30): "CNY " and the text after the first "FCNY" item's prefix (else "ECNY", else
//   "SCNY"; none: "0.00"), as displayed;
// - taxes: each "TCNY" item is an amount followed by its tax code: the first CN gives 31,
//   the first YQ 32, all others sum into 58; an absent tax is 0.00;
// - total (33): "CNY " and the first "ACNY" item's amount; without one (an inclusive-tour
//   fare shows none) the sum of the fare's leading number and the taxes;
// - the first item "P" and digits names a passenger, and the all-digit items that follow it
//   name more.
// Amounts other than the fare are written with exactly two decimals (rounded half away from
// zero); a total that does not start with a number keeps the display's own rule: the text
// before its ".00", then ".00".
QList<FareElement> readFareElements(QStringView text);

} // namespace itinerary
