#pragma once

#include "sheet/Passenger.h"
#include "textimport/FareElements.h"

#include <QHash>
#include <QList>

namespace itinerary {

class Itinerary;

// Which fare element each entry of the passenger list takes, when a booking prices its
// passengers differently:
// - a passenger: the first adult (non-infant) element naming it, else the first adult
//   element naming nobody, else the first adult element, else the first element;
// - an infant: the first infant element naming the passenger it travels with, else the
//   first infant element, else what a passenger named by no element takes.
// Built once per booking, so that every choice costs the same whatever the list's length.
class FareChoice final {
public:
    explicit FareChoice(const QList<FareElement> &elements);

    // Nothing when the booking has no fare element.
    std::optional<FareRow> forPassenger(Ordinal ordinal) const;
    std::optional<FareRow> forInfant(Ordinal travelsWith) const;
    // What a passenger named by no element takes: the row the sheet shows after the fare step.
    std::optional<FareRow> forNobody() const;

private:
    std::optional<FareRow> rowAt(qsizetype index) const;

    const QList<FareElement> &m_elements;
    QHash<Ordinal, qsizetype> m_adultNaming;
    QHash<Ordinal, qsizetype> m_infantNaming;
    qsizetype m_nobody = -1;
    qsizetype m_firstInfant = -1;
};

// The fare step of the import: without a fare element the fare row keeps its text; with one
// or more, the row a passenger named by no element takes is written into 30, 31, 32, 58 and
// 33 (with one element, that element's row).
void importFares(const QList<FareElement> &elements, Itinerary &sheet);

} // namespace itinerary
