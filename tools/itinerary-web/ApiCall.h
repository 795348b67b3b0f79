#pragma once

#include "WebPolicy.h"
#include "WebStore.h"

#include "http/HttpMessage.h"

#include <QJsonObject>
#include <QString>
#include <QUrlQuery>

#include <functional>
#include <optional>

namespace itinerary::web {

class CounterCore;

// A refusal: the answer {"error": message} with its status. Thrown anywhere in an endpoint.
struct ApiRefusal {
    int status = 400;
    QString message;
};

// What every endpoint shares: the core, the database's address, the session rules.
struct WebContext {
    const CounterCore &core;
    DatabaseAddress database;
    WebPolicy policy;
};

// The logged-in user of a request.
struct SessionUser {
    QByteArray tokenHash;
    QString name;
    QString role;
    QByteArray csrfToken;
};

// One request on its way through an endpoint.
class ApiCall final {
public:
    ApiCall(const WebContext &context, const HttpRequest &request, bool secure,
            QString clientAddress);

    const WebContext &context() const { return m_context; }
    const HttpRequest &request() const { return m_request; }
    // Whether the client reached the server over HTTPS (as the proxy in front tells).
    bool secure() const { return m_secure; }
    // The client's address: the peer's, or the one the proxy in front names.
    const QString &clientAddress() const { return m_clientAddress; }
    WebStore &store() const;
    qint64 nowMs() const;

    // The session; null before it has been checked, or for endpoints without one.
    const std::optional<SessionUser> &user() const { return m_user; }
    void setUser(SessionUser user) { m_user = std::move(user); }
    const SessionUser &sessionUser() const { return *m_user; }
    bool maySeeEveryCounter() const;

    // The JSON body as an object; 400 when it is none.
    const QJsonObject &body();
    // A member of the body that must be a string (400 otherwise); `required` false allows
    // it to be missing, as an empty text.
    QString text(const QString &name, bool required = true);
    // The decoded query of the request target.
    QString queryValue(const QString &name) const;

    // The counter by name when this user may use it: 404 unknown, 403 not theirs.
    CounterRecord usableCounter(const QString &name);

private:
    const WebContext &m_context;
    const HttpRequest &m_request;
    bool m_secure = false;
    QString m_clientAddress;
    std::optional<SessionUser> m_user;
    std::optional<QJsonObject> m_body;
    QUrlQuery m_query;
};

// How an endpoint may be reached.
enum class Access {
    Public,     // no session needed
    Session,    // any logged-in user
    Supervisor, // supervisors and admins
    Admin,      // admins
};

struct Endpoint {
    QByteArray method;
    QByteArray path;
    Access access = Access::Session;
    std::function<HttpResponse(ApiCall &)> run;
};

// Answers.
void addHeader(HttpResponse &response, const QByteArray &name, const QByteArray &value);
HttpResponse jsonAnswer(const QJsonObject &object, int status = 200);
HttpResponse jsonAnswer(const QByteArray &json, int status = 200);
HttpResponse refusalAnswer(const ApiRefusal &refusal);

// The refusal texts the API's contract names.
namespace refusal {
inline const QString NotLoggedIn = QStringLiteral("请先登录");
inline const QString Expired = QStringLiteral("登录已过期，请重新登录");
inline const QString WrongPassword = QStringLiteral("用户名或密码错误");
inline const QString NoRight = QStringLiteral("没有权限");
inline const QString NotYourCounter = QStringLiteral("没有此柜台的权限");
inline const QString BadRequest = QStringLiteral("请求无效，请刷新页面后重试");
inline const QString Locked = QStringLiteral("尝试次数过多，请一分钟后再试");
inline const QString Malformed = QStringLiteral("请求格式不正确");
} // namespace refusal

// The endpoints, by group.
QList<Endpoint> sessionEndpoints();
QList<Endpoint> sheetEndpoints();
QList<Endpoint> printEndpoints();
QList<Endpoint> journalEndpoints();
QList<Endpoint> adminEndpoints();

} // namespace itinerary::web
