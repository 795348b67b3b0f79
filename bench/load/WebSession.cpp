#include "WebSession.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace itinerary::load {

namespace {
// A print of a group is the slowest answer; none takes this long unless something is wrong.
constexpr int AnswerTimeoutMs = 30'000;
} // namespace

WebSession::WebSession(quint16 port)
    : m_port(port) {}

bool WebSession::logIn(const QString &user, const QString &password, QString *problem) {
    const QByteArray body =
        QJsonDocument(QJsonObject{{u"user"_s, user}, {u"password"_s, password}}).toJson();
    const test::WireAnswer answer = post("/api/login", body);
    const QByteArray cookie = answer.header("Set-Cookie");
    m_csrf = QJsonDocument::fromJson(answer.body).object().value(u"csrf"_s).toString().toLatin1();
    if (answer.status != 200 || m_csrf.isEmpty() || !cookie.contains('=')) {
        *problem = u"login of %1: %2"_s.arg(user, answerSummary(answer));
        return false;
    }
    m_cookie = cookie.left(cookie.indexOf(';'));
    return true;
}

test::WireAnswer WebSession::post(const QByteArray &path, const QByteArray &json) {
    QByteArray request =
        "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
        "Content-Type: application/json\r\nContent-Length: " + QByteArray::number(json.size()) +
        "\r\n";
    if (!m_cookie.isEmpty())
        request += "Cookie: " + m_cookie + "\r\nX-CSRF-Token: " + m_csrf + "\r\n";
    return exchange(request + "\r\n" + json);
}

test::WireAnswer WebSession::exchange(const QByteArray &request) {
    // A connection the service closed is opened again before the request, never after: a
    // print sent twice would print twice.
    if (!m_wire || !m_wire->connected())
        m_wire = std::make_unique<test::WireClient>(m_port);
    if (!m_wire->send(request)) {
        m_wire.reset();
        return test::WireAnswer();
    }
    test::WireAnswer answer = m_wire->read(AnswerTimeoutMs);
    if (answer.closedByServer || answer.status == 0)
        m_wire.reset();
    return answer;
}

QString answerSummary(const test::WireAnswer &answer) {
    if (answer.status == 0)
        return u"no answer"_s;
    return u"%1 %2"_s.arg(answer.status).arg(QString::fromUtf8(answer.body.left(200)));
}

} // namespace itinerary::load
