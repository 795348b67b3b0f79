#include "http/RefusalLog.h"

namespace itinerary {

bool RefusalLog::admit(const std::string &address, Clock::time_point now, qint64 *untold) {
    const std::lock_guard lock(m_mutex);
    const auto [it, added] = m_entries.try_emplace(address, Entry{now, 0});
    Entry &entry = it->second;
    if (!added && now - entry.logged < m_window) {
        ++entry.untold;
        return false;
    }
    *untold = added ? 0 : entry.untold;
    entry = Entry{now, 0};
    return true;
}

std::vector<std::pair<std::string, qint64>> RefusalLog::expire(Clock::time_point now,
                                                               bool everything) {
    std::vector<std::pair<std::string, qint64>> untold;
    const std::lock_guard lock(m_mutex);
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (!everything && now - it->second.logged < m_window) {
            ++it;
            continue;
        }
        if (it->second.untold > 0)
            untold.emplace_back(it->first, it->second.untold);
        it = m_entries.erase(it);
    }
    return untold;
}

} // namespace itinerary
