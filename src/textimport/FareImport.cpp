#include "textimport/FareImport.h"

#include "sheet/Itinerary.h"

namespace itinerary {

FareChoice::FareChoice(const QList<FareElement> &elements)
    : m_elements(elements) {
    qsizetype firstAdult = -1;
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const FareElement &e = elements[i];
        QHash<Ordinal, qsizetype> &naming = e.infant ? m_infantNaming : m_adultNaming;
        for (Ordinal ordinal : e.passengers) {
            if (!naming.contains(ordinal))
                naming.insert(ordinal, i);
        }
        if (e.infant && m_firstInfant < 0)
            m_firstInfant = i;
        if (!e.infant && firstAdult < 0)
            firstAdult = i;
        if (!e.infant && e.passengers.isEmpty() && m_nobody < 0)
            m_nobody = i;
    }
    if (m_nobody < 0)
        m_nobody = firstAdult >= 0 ? firstAdult : (elements.isEmpty() ? -1 : 0);
}

std::optional<FareRow> FareChoice::rowAt(qsizetype index) const {
    if (index < 0)
        return std::nullopt;
    return m_elements[index].row;
}

std::optional<FareRow> FareChoice::forPassenger(Ordinal ordinal) const {
    return rowAt(m_adultNaming.value(ordinal, m_nobody));
}

std::optional<FareRow> FareChoice::forInfant(Ordinal travelsWith) const {
    return rowAt(m_infantNaming.value(travelsWith, m_firstInfant >= 0 ? m_firstInfant : m_nobody));
}

std::optional<FareRow> FareChoice::forNobody() const {
    return rowAt(m_nobody);
}

void importFares(const QList<FareElement> &elements, Itinerary &sheet) {
    if (const std::optional<FareRow> row = FareChoice(elements).forNobody())
        sheet.showFareRow(*row);
}

} // namespace itinerary
