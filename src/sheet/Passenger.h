#pragma once

#include <QList>
#include <QString>

namespace itinerary {

// One row of the passenger list: the three per-passenger texts that navigation swaps into
// the sheet's fields 0, 1 and 34.
struct Passenger {
    QString name;
    QString idNumber;
    QString ticketNumber;
    bool operator==(const Passenger &) const = default;
};

using PassengerList = QList<Passenger>;

} // namespace itinerary
