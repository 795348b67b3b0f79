#include "SessionStore.h"

#include <QRandomGenerator>

#include <array>
#include <utility>

namespace itinerary::site {

SessionStore::SessionStore(qsizetype capacity)
    : m_capacity(capacity < 1 ? 1 : capacity) {}

QByteArray SessionStore::create() {
    QByteArray id;
    do {
        std::array<quint32, 4> words;
        QRandomGenerator::system()->fillRange(words.data(), words.size());
        id = QByteArray(reinterpret_cast<const char *>(words.data()), sizeof(words))
                 .toHex()
                 .toUpper();
    } while (m_sessions.contains(id));
    if (m_sessions.size() >= m_capacity)
        evictLeastRecentlyUsed();
    Session &session = m_sessions[id];
    touch(session);
    return id;
}

bool SessionStore::contains(const QByteArray &id) const {
    return m_sessions.contains(id);
}

void SessionStore::setCaptcha(const QByteArray &id, const QString &code) {
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end())
        return;
    it->captcha = code;
    touch(*it);
}

QString SessionStore::takeCaptcha(const QByteArray &id) {
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end())
        return QString();
    touch(*it);
    return std::exchange(it->captcha, QString());
}

void SessionStore::evictLeastRecentlyUsed() {
    auto oldest = m_sessions.begin();
    for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it) {
        if (it->lastUse < oldest->lastUse)
            oldest = it;
    }
    if (oldest != m_sessions.end())
        m_sessions.erase(oldest);
}

} // namespace itinerary::site
