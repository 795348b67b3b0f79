// POST /api/login, POST /api/logout, GET /api/me.
#include "ApiCall.h"
#include "WebLog.h"
#include "WebSecrets.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {

// A user name as the log shows it: printable, short, never a line of its own.
QByteArray loggable(const QString &name) {
    return name.left(64).toUtf8().toPercentEncoding(QByteArray(), " @._-");
}

QStringList countersOf(ApiCall &call, const QString &user, const QString &role) {
    WebStore &store = call.store();
    if (role == u"agent")
        return store.counterNamesOf(user);
    QStringList names;
    for (const CounterRecord &counter : store.counters())
        names.append(counter.name);
    return names;
}

QJsonObject who(ApiCall &call, const QString &user, const QString &role, const QByteArray &csrf) {
    return QJsonObject{
        {u"user"_s, user},
        {u"role"_s, role},
        {u"csrf"_s, QString::fromLatin1(csrf)},
        {u"counters"_s, QJsonArray::fromStringList(countersOf(call, user, role))},
    };
}

QByteArray sessionCookie(const QByteArray &value, bool secure, bool clear) {
    QByteArray cookie = "itinerary_session=" + value + "; HttpOnly; SameSite=Strict; Path=/";
    if (clear)
        cookie += "; Max-Age=0";
    if (secure)
        cookie += "; Secure";
    return cookie;
}

HttpResponse login(ApiCall &call) {
    const QString name = call.text(u"user"_s);
    const QString password = call.text(u"password"_s);
    const QString userSubject = u"user:"_s + name;
    const QString addressSubject = u"address:"_s + call.clientAddress();
    const WebPolicy &policy = call.context().policy;
    WebStore &store = call.store();
    const qint64 now = call.nowMs();
    const qint64 since = now - policy.lockOut.count();
    const QByteArray who_ = loggable(name);
    const QByteArray from = call.clientAddress().toUtf8();

    if (store.failuresSince(userSubject, since) >= policy.failuresBeforeLock ||
        store.failuresSince(addressSubject, since) >= policy.failuresBeforeLock) {
        qCWarning(webLog, "login refused while locked: user %s from %s", who_.constData(),
                  from.constData());
        throw ApiRefusal{429, refusal::Locked};
    }
    const std::optional<WebUser> user = store.user(name);
    // Checked for an unknown user too, so that the answer's time does not tell them apart.
    const bool matches = passwordMatches(user ? user->passwordHash : QByteArray(), password);
    if (!user || !matches) {
        store.addFailure({userSubject, addressSubject}, now, since);
        qCWarning(webLog, "login refused: user %s from %s", who_.constData(), from.constData());
        if (store.failuresSince(userSubject, since) >= policy.failuresBeforeLock ||
            store.failuresSince(addressSubject, since) >= policy.failuresBeforeLock)
            qCWarning(webLog, "login locked: user %s from %s", who_.constData(), from.constData());
        throw ApiRefusal{401, refusal::WrongPassword};
    }
    store.clearFailures(userSubject);
    store.purgeSessions(now - policy.sessionIdle.count(), now - policy.sessionMaximum.count());
    const QByteArray token = randomToken();
    const QByteArray csrf = randomToken();
    if (token.isEmpty() || csrf.isEmpty())
        throw ApiRefusal{503, u"服务器无法生成登录凭据"_s};
    store.createSession(tokenHash(token), SessionRecord{user->name, csrf, now, now});
    qCInfo(webLog, "login: user %s from %s", who_.constData(), from.constData());
    HttpResponse answer = jsonAnswer(who(call, user->name, user->role, csrf));
    addHeader(answer, "Set-Cookie", sessionCookie(token, call.secure(), false));
    return answer;
}

HttpResponse logout(ApiCall &call) {
    const SessionUser &user = call.sessionUser();
    call.store().deleteSession(user.tokenHash);
    qCInfo(webLog, "logout: user %s from %s", loggable(user.name).constData(),
           call.clientAddress().toUtf8().constData());
    HttpResponse answer = jsonAnswer(QJsonObject{});
    addHeader(answer, "Set-Cookie", sessionCookie(QByteArray(), call.secure(), true));
    return answer;
}

HttpResponse me(ApiCall &call) {
    const SessionUser &user = call.sessionUser();
    return jsonAnswer(who(call, user.name, user.role, user.csrfToken));
}

} // namespace

QList<Endpoint> sessionEndpoints() {
    return {
        {"POST", "/api/login", Access::Public, login},
        {"POST", "/api/logout", Access::Session, logout},
        {"GET", "/api/me", Access::Session, me},
    };
}

} // namespace itinerary::web
