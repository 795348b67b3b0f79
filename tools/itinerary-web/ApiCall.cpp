#include "ApiCall.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonParseError>

using namespace Qt::StringLiterals;

namespace itinerary::web {

ApiCall::ApiCall(const WebContext &context, const HttpRequest &request, bool secure,
                 QString clientAddress)
    : m_context(context)
    , m_request(request)
    , m_secure(secure)
    , m_clientAddress(std::move(clientAddress))
    , m_query(QString::fromUtf8(request.query())) {}

WebStore &ApiCall::store() const {
    return WebStore::forThisThread(m_context.database);
}

qint64 ApiCall::nowMs() const {
    return QDateTime::currentMSecsSinceEpoch();
}

bool ApiCall::maySeeEveryCounter() const {
    return m_user && (m_user->role == u"supervisor" || m_user->role == u"admin");
}

const QJsonObject &ApiCall::body() {
    if (!m_body) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(m_request.body, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject())
            throw ApiRefusal{400, refusal::Malformed + u"：不是JSON对象"_s};
        m_body = document.object();
    }
    return *m_body;
}

QString ApiCall::text(const QString &name, bool required) {
    const QJsonValue value = body().value(name);
    if (value.isString())
        return value.toString();
    if (!required && value.isUndefined())
        return u""_s;
    throw ApiRefusal{400, refusal::Malformed + u"：%1 必须是文本"_s.arg(name)};
}

QString ApiCall::queryValue(const QString &name) const {
    return m_query.queryItemValue(name, QUrl::FullyDecoded);
}

CounterRecord ApiCall::usableCounter(const QString &name) {
    std::optional<CounterRecord> counter = store().counter(name);
    if (!counter)
        throw ApiRefusal{404, u"找不到柜台 %1"_s.arg(name)};
    if (!maySeeEveryCounter() && !counter->agents.contains(sessionUser().name))
        throw ApiRefusal{403, refusal::NotYourCounter};
    return *counter;
}

void addHeader(HttpResponse &response, const QByteArray &name, const QByteArray &value) {
    response.headers.append(std::pair(name, value));
}

HttpResponse jsonAnswer(const QJsonObject &object, int status) {
    return jsonAnswer(QJsonDocument(object).toJson(QJsonDocument::Compact), status);
}

HttpResponse jsonAnswer(const QByteArray &json, int status) {
    return HttpResponse{status, "application/json; charset=utf-8", json, {}};
}

HttpResponse refusalAnswer(const ApiRefusal &refusal) {
    return jsonAnswer(QJsonObject{{u"error"_s, refusal.message}}, refusal.status);
}

} // namespace itinerary::web
