#pragma once

#include "render/WireClient.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace itinerary::load {

// One counter's browser on the web counter: a kept-alive connection (opened again when the
// service closes it), the session cookie and the CSRF token its login gave. Blocking: each
// simulated agent runs one on a thread of its own.
class WebSession final {
public:
    explicit WebSession(quint16 port);

    // Logs in; false with the service's answer in `problem`.
    bool logIn(const QString &user, const QString &password, QString *problem);
    // A POST of a JSON body with the session's cookie and token; status 0 when cut off.
    test::WireAnswer post(const QByteArray &path, const QByteArray &json);

private:
    test::WireAnswer exchange(const QByteArray &request);

    quint16 m_port;
    std::unique_ptr<test::WireClient> m_wire;
    QByteArray m_cookie;
    QByteArray m_csrf;
};

// The answer's first lines, for a report of what went wrong.
QString answerSummary(const test::WireAnswer &answer);

} // namespace itinerary::load
