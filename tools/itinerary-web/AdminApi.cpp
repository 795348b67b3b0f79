// The admin's GET and POST /api/counters and /api/users.
#include "ApiCall.h"
#include "CounterValues.h"
#include "WebLog.h"
#include "WebSecrets.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {

// Passwords shorter than this are refused.
constexpr int MinimumPasswordLength = 8;

HttpResponse counters(ApiCall &call) {
    QJsonArray list;
    for (const CounterRecord &counter : call.store().counters())
        list.append(counterJson(counter, true));
    return jsonAnswer(QJsonObject{{u"counters"_s, list}});
}

HttpResponse saveCounter(ApiCall &call) {
    CounterRecord counter;
    counter.name = checkedName(call.text(u"name"_s));
    counter.checkCode = checkedCheckCode(call.text(u"checkCode"_s));
    counter.leftOffsetMm =
        checkedOffset(call.text(u"left"_s, false).isEmpty() ? u"0"_s : call.text(u"left"_s));
    counter.topOffsetMm =
        checkedOffset(call.text(u"top"_s, false).isEmpty() ? u"0"_s : call.text(u"top"_s));
    counter.queue = checkedQueue(call.text(u"queue"_s, false));
    const QJsonValue agents = call.body().value(u"agents"_s);
    if (!agents.isUndefined() && !agents.isArray())
        throw ApiRefusal{400, refusal::Malformed + u"：agents 必须是用户名的列表"_s};
    for (const QJsonValue &agent : agents.toArray()) {
        if (!agent.isString() || !call.store().user(agent.toString()))
            throw ApiRefusal{400, u"没有此用户：%1"_s.arg(agent.toString())};
        counter.agents.append(agent.toString());
    }
    call.store().saveCounter(counter);
    qCInfo(webLog, "counter %s saved by %s", qUtf8Printable(counter.name),
           qUtf8Printable(call.sessionUser().name));
    return jsonAnswer(counterJson(*call.store().counter(counter.name), true));
}

HttpResponse users(ApiCall &call) {
    QJsonArray list;
    for (const WebUser &user : call.store().users())
        list.append(QJsonObject{{u"name"_s, user.name}, {u"role"_s, user.role}});
    return jsonAnswer(QJsonObject{{u"users"_s, list}});
}

HttpResponse saveUser(ApiCall &call) {
    WebUser user;
    user.name = checkedName(call.text(u"name"_s));
    user.role = checkedRole(call.text(u"role"_s));
    const QString password = call.text(u"password"_s);
    if (password.size() < MinimumPasswordLength)
        throw ApiRefusal{400, u"密码至少需要%1个字符"_s.arg(MinimumPasswordLength)};
    user.passwordHash = hashPassword(password);
    if (user.passwordHash.isEmpty())
        throw ApiRefusal{503, u"服务器暂时无法保存密码"_s};
    call.store().saveUser(user);
    qCInfo(webLog, "user %s (%s) saved by %s", qUtf8Printable(user.name), qUtf8Printable(user.role),
           qUtf8Printable(call.sessionUser().name));
    return jsonAnswer(QJsonObject{{u"name"_s, user.name}, {u"role"_s, user.role}});
}

} // namespace

QList<Endpoint> adminEndpoints() {
    return {
        {"GET", "/api/counters", Access::Admin, counters},
        {"POST", "/api/counters", Access::Admin, saveCounter},
        {"GET", "/api/users", Access::Admin, users},
        {"POST", "/api/users", Access::Admin, saveUser},
    };
}

} // namespace itinerary::web
