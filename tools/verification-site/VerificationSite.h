#pragma once

#include "SessionStore.h"
#include "SiteTicket.h"

#include "http/HttpServer.h"

#include <QHostAddress>
#include <QObject>
#include <QUrl>

#include <functional>

namespace itinerary::site {

inline constexpr char SessionCookieName[] = "JSESSIONID";
// Larger query bodies are refused (413); the form's three values are a few dozen bytes.
inline constexpr qsizetype MaxQueryBodySize = 64 * 1024;

// The local e-ticket verification site: the home page with the query form, the captcha
// servlet tied to a session cookie, and the query that answers with the verification result
// page, a wrong-captcha page or an unknown-ticket page. The HTTP server reads the requests on
// its network thread; the site answers them on the thread that owns it, whose event loop must
// run. Tests start it in-process on 127.0.0.1 with port 0.
class VerificationSite final : public QObject {
    Q_OBJECT

public:
    // At most `connectionsPerAddress` connections of one client address are open at once.
    explicit VerificationSite(QList<SiteTicket> tickets,
                              int connectionsPerAddress = HttpLimits().maxConnectionsPerAddress,
                              QObject *parent = nullptr);
    ~VerificationSite() override;

    // Every captcha picture shows `code` (checked with isCaptchaCode); empty: random codes.
    void setFixedCaptcha(const QString &code) { m_fixedCaptcha = code; }
    // Where random codes come from; tests use it to know each session's code.
    void setCaptchaGenerator(std::function<QString()> generator) {
        m_generator = std::move(generator);
    }

    // Starts listening. Returns the base address ("http://127.0.0.1:8090/"), or an empty
    // address when the port cannot be bound.
    QUrl listen(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost),
                quint16 port = 0);
    QUrl baseUrl() const { return m_baseUrl; }

    const QList<SiteTicket> &tickets() const { return m_tickets; }
    qsizetype sessionCount() const { return m_sessions.size(); }

private:
    HttpResponse respond(const HttpRequest &request);
    HttpResponse captcha(const QByteArray &session);
    HttpResponse query(const HttpRequest &request, const QByteArray &session);
    const SiteTicket *findTicket(const QString &number, const QString &name) const;

    QList<SiteTicket> m_tickets;
    QString m_fixedCaptcha;
    std::function<QString()> m_generator;
    SessionStore m_sessions;
    QUrl m_baseUrl;
    HttpServer m_server; // last: stopped before the rest goes
};

} // namespace itinerary::site
