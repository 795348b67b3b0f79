#include "VerificationSite.h"

#include "CaptchaImage.h"
#include "FormFields.h"
#include "SitePages.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>

using namespace Qt::StringLiterals;

namespace itinerary::site {

namespace {

// The session ids the request's cookies name, in the order sent.
QList<QByteArray> requestSessions(const QHttpServerRequest &request) {
    const QByteArray prefix = QByteArray(SessionCookieName) + '=';
    QList<QByteArray> sessions;
    for (const auto &[name, value] : request.headers()) {
        if (name.compare("Cookie", Qt::CaseInsensitive) != 0)
            continue;
        for (const QByteArray &part : value.split(';')) {
            const QByteArray cookie = part.trimmed();
            if (cookie.startsWith(prefix))
                sessions.append(cookie.mid(prefix.size()));
        }
    }
    return sessions;
}

QHttpServerResponse noStore(QHttpServerResponse response) {
    response.setHeader("Cache-Control", "no-store");
    return response;
}

QHttpServerResponse htmlResponse(const QByteArray &page) {
    return noStore(QHttpServerResponse("text/html; charset=utf-8", page));
}

QHttpServerResponse textResponse(const QByteArray &text, QHttpServerResponse::StatusCode status) {
    return noStore(QHttpServerResponse("text/plain; charset=utf-8", text, status));
}

} // namespace

VerificationSite::VerificationSite(QList<SiteTicket> tickets, QObject *parent)
    : QObject(parent)
    , m_tickets(std::move(tickets))
    , m_generator(randomCaptchaCode) {
    // One handler for every request: the site dispatches on the path itself, so the captcha
    // servlet answers whatever follows its "?".
    m_server.setMissingHandler(
        [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
            respond(request).write(std::move(responder));
        });
}

QUrl VerificationSite::listen(const QHostAddress &address, quint16 port) {
    const quint16 bound = m_server.listen(address, port);
    if (bound == 0)
        return QUrl();
    QUrl url;
    url.setScheme(u"http"_s);
    url.setHost(address.toString());
    url.setPort(bound);
    url.setPath(u"/"_s);
    m_baseUrl = url;
    return url;
}

QHttpServerResponse VerificationSite::respond(const QHttpServerRequest &request) {
    const QString path = request.url().path();
    const bool home = path == u"/"_s;
    const bool captchaPath = path == QLatin1StringView(CaptchaPath);
    const bool queryPath = path == QLatin1StringView(QueryPath);
    if (!home && !captchaPath && !queryPath)
        return textResponse("not found\n", QHttpServerResponse::StatusCode::NotFound);

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

    QHttpServerResponse response = home          ? htmlResponse(homePage())
                                   : captchaPath ? captcha(session)
                                                 : query(request, session);
    if (newSession) {
        // HttpOnly, as a servlet container sets it: page scripts cannot read the session.
        response.addHeader("Set-Cookie",
                           QByteArray(SessionCookieName) + '=' + session + "; Path=/; HttpOnly");
    }
    return response;
}

QHttpServerResponse VerificationSite::captcha(const QByteArray &session) {
    const QString code = m_fixedCaptcha.isEmpty() ? m_generator() : m_fixedCaptcha;
    m_sessions.setCaptcha(session, code);
    return noStore(QHttpServerResponse("image/png", captchaPng(code)));
}

QHttpServerResponse VerificationSite::query(const QHttpServerRequest &request,
                                            const QByteArray &session) {
    QByteArray encoded;
    if (request.method() == QHttpServerRequest::Method::Post) {
        if (request.body().size() > MaxQueryBodySize) {
            return textResponse("query too large\n",
                                QHttpServerResponse::StatusCode::PayloadTooLarge);
        }
        encoded = request.body();
    } else {
        encoded = request.url().query(QUrl::FullyEncoded).toUtf8();
    }
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
