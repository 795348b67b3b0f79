#include "VerificationSite.h"

#include "CaptchaImage.h"
#include "FormFields.h"
#include "SitePages.h"

#include <QLoggingCategory>

using namespace Qt::StringLiterals;

namespace itinerary::site {

namespace {

Q_LOGGING_CATEGORY(siteLog, "itinerary.site", QtInfoMsg)

HttpLimits siteLimits(int connectionsPerAddress) {
    HttpLimits limits;
    limits.maxConnectionsPerAddress = connectionsPerAddress;
    limits.methods = {"GET", "POST"};
    limits.maxBodyBytes = MaxQueryBodySize;
    return limits;
}

// The session ids the request's cookies name, in the order sent.
QList<QByteArray> requestSessions(const HttpRequest &request) {
    const QByteArray prefix = QByteArray(SessionCookieName) + '=';
    QList<QByteArray> sessions;
    for (const QByteArray &value : request.headerValues("Cookie")) {
        for (const QByteArray &part : value.split(';')) {
            const QByteArray cookie = part.trimmed();
            if (cookie.startsWith(prefix))
                sessions.append(cookie.mid(prefix.size()));
        }
    }
    return sessions;
}

HttpResponse noStore(HttpResponse response) {
    response.headers.emplaceBack("Cache-Control", "no-store");
    return response;
}

HttpResponse htmlResponse(const QByteArray &page) {
    return noStore(HttpResponse{200, "text/html; charset=utf-8", page, {}});
}

} // namespace

VerificationSite::VerificationSite(QList<SiteTicket> tickets, int connectionsPerAddress,
                                   QObject *parent)
    : QObject(parent)
    , m_tickets(std::move(tickets))
    , m_generator(randomCaptchaCode)
    , m_server(
          siteLimits(connectionsPerAddress),
          [this](HttpRequest request, HttpResponder responder) {
              // The sessions and the captcha codes live on this object's thread.
              QMetaObject::invokeMethod(
                  this,
                  [this, request = std::move(request), responder] {
                      responder.send(respond(request));
                  },
                  Qt::QueuedConnection);
          },
          siteLog) {}

VerificationSite::~VerificationSite() {
    // No request reaches this object once its destruction has begun.
    m_server.stop();
}

QUrl VerificationSite::listen(const QHostAddress &address, quint16 port) {
    if (!m_server.listen(address, port))
        return QUrl();
    m_baseUrl = m_server.baseUrl();
    return m_baseUrl;
}

HttpResponse VerificationSite::respond(const HttpRequest &request) {
    // One handler for every request: the site dispatches on the path itself, so the captcha
    // servlet answers whatever follows its "?".
    const QString path = QUrl::fromPercentEncoding(request.path());
    const bool home = path == u"/"_s;
    const bool captchaPath = path == QLatin1StringView(CaptchaPath);
    const bool queryPath = path == QLatin1StringView(QueryPath);
    if (!home && !captchaPath && !queryPath)
        return noStore(HttpResponse::text(404, "not found"));

    // A client may still send a session the site has forgotten beside its current one.
    QByteArray session;
    for (const QByteArray &sent : requestSessions(request)) {
        if (m_sessions.contains(sent)) {
            session = sent;
            break;
        }
    }
    const bool newSession = session.isEmpty();
    if (newSession)
        session = m_sessions.create();

    HttpResponse response = home          ? htmlResponse(homePage())
                            : captchaPath ? captcha(session)
                                          : query(request, session);
    if (newSession) {
        // HttpOnly, as a servlet container sets it: page scripts cannot read the session.
        response.headers.emplaceBack("Set-Cookie", QByteArray(SessionCookieName) + '=' + session +
                                                       "; Path=/; HttpOnly");
    }
    return response;
}

HttpResponse VerificationSite::captcha(const QByteArray &session) {
    const QString code = m_fixedCaptcha.isEmpty() ? m_generator() : m_fixedCaptcha;
    m_sessions.setCaptcha(session, code);
    return noStore(HttpResponse{200, "image/png", captchaPng(code), {}});
}

HttpResponse VerificationSite::query(const HttpRequest &request, const QByteArray &session) {
    // The server has refused bodies over MaxQueryBodySize already.
    const QByteArray encoded = request.method == "POST" ? request.body : request.query();
    const QHash<QString, QString> fields = parseFormFields(encoded);

    // The captcha is checked first and used up whatever the outcome, as on a real site: a
    // second query needs the next picture's code.
    const QString expected = m_sessions.takeCaptcha(session);
    const QString typed = fields.value(u"randCode"_s).trimmed().toUpper();
    if (expected.isEmpty() || typed != expected)
        return htmlResponse(messagePage(wrongCaptchaMessage()));

    const QString number = fields.value(u"eticketNoORIn"_s).trimmed().remove(u'-');
    const QString name = fields.value(u"passengerName"_s).trimmed();
    const SiteTicket *ticket = findTicket(number, name);
    if (ticket == nullptr)
        return htmlResponse(messagePage(unknownTicketMessage()));
    return htmlResponse(resultPage(*ticket));
}

const SiteTicket *VerificationSite::findTicket(const QString &number, const QString &name) const {
    if (name.isEmpty())
        return nullptr;
    for (const SiteTicket &ticket : m_tickets) {
        if (ticket.ticketNumber == number &&
            ticket.passengerName.compare(name, Qt::CaseInsensitive) == 0)
            return &ticket;
    }
    return nullptr;
}

} // namespace itinerary::site
