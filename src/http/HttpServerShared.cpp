#include "http/HttpServerShared.h"

namespace itinerary {

std::optional<QByteArray> HttpServerShared::admitConnection(const std::string &address) {
    const std::lock_guard lock(mutex);
    if (stopping)
        return QByteArray("the server is stopping");
    if (m_open >= limits.maxConnections)
        return "already " + QByteArray::number(m_open) + " connections open";
    int &fromAddress = m_openByAddress[address];
    if (fromAddress >= limits.maxConnectionsPerAddress)
        return "already " + QByteArray::number(fromAddress) + " connections from this address";
    ++fromAddress;
    ++m_open;
    return std::nullopt;
}

void HttpServerShared::releaseConnection(const std::string &address) {
    const std::lock_guard lock(mutex);
    --m_open;
    const auto it = m_openByAddress.find(address);
    if (it != m_openByAddress.end() && --it->second <= 0)
        m_openByAddress.erase(it);
}

void HttpServerShared::logRefusal(const std::string &address, const QByteArray &line) {
    qint64 untold = 0;
    if (!refusals.admit(address, RefusalLog::Clock::now(), &untold))
        return;
    if (untold > 0)
        qCWarning(category, "%s (%lld more refusals of this address since its previous line)",
                  line.constData(), qlonglong(untold));
    else
        qCWarning(category, "%s", line.constData());
}

} // namespace itinerary
