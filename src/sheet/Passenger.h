#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace itinerary {

// The fare row of one list entry: the texts of fields 30, 31, 32, 58 and 33.
struct FareRow {
    QString fare;
    QString developmentFund;
    QString fuelSurcharge;
    QString otherTaxes;
    QString total;
    bool operator==(const FareRow &) const = default;
};

// One entry of the passenger list: the three per-passenger texts that navigation swaps into
// the sheet's fields 0, 1 and 34, and a fare row of its own when the booking priced its
// passengers differently (a child's or an infant's fare).
struct Passenger {
    QString name;
    QString idNumber;
    QString ticketNumber;
    std::optional<FareRow> fares{};
    bool operator==(const Passenger &) const = default;
};

using PassengerList = QList<Passenger>;

} // namespace itinerary
