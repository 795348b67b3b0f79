#include "textimport/CodeTable.h"

namespace itinerary {

bool CodeTable::append(const CodeEntry &entry) {
    if (m_positions.contains(entry.code))
        return false;
    m_positions.insert(entry.code, m_entries.size());
    m_entries.append(entry);
    return true;
}

void CodeTable::replaceOrAppend(const CodeEntry &entry) {
    const auto position = m_positions.constFind(entry.code);
    if (position == m_positions.cend())
        append(entry);
    else
        m_entries[*position] = entry;
}

const CodeEntry *CodeTable::find(const QString &code) const {
    const auto position = m_positions.constFind(code);
    return position == m_positions.cend() ? nullptr : &m_entries.at(*position);
}

} // namespace itinerary
