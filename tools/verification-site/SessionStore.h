#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace itinerary::site {

// The site's sessions: an id handed out in an HttpOnly cookie, and the captcha code last
// shown to that session. Bounded: beyond `capacity` sessions the least recently used one is
// forgotten, so a client that never sends its cookie back cannot grow the site without end.
class SessionStore final {
public:
    explicit SessionStore(qsizetype capacity = 4096);

    // A new session with a random 32-hex-digit id.
    QByteArray create();
    bool contains(const QByteArray &id) const;
    qsizetype size() const { return m_sessions.size(); }

    void setCaptcha(const QByteArray &id, const QString &code);
    // The session's code, forgotten at once: each code answers one query, right or wrong.
    QString takeCaptcha(const QByteArray &id);

private:
    struct Session {
        QString captcha;
        quint64 lastUse = 0;
    };
    void touch(Session &session) { session.lastUse = ++m_clock; }
    void evictLeastRecentlyUsed();

    QHash<QByteArray, Session> m_sessions;
    qsizetype m_capacity;
    quint64 m_clock = 0;
};

} // namespace itinerary::site
