#include "CounterValues.h"

#include "ApiCall.h"

#include "print/PrintOffsets.h"

#include <QJsonArray>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace itinerary::web {

QString checkedOffset(const QString &millimetres) {
    const QString text = millimetres.trimmed();
    if (!offsetTwips(text))
        throw ApiRefusal{400, u"打印位置不正确：%1"_s.arg(millimetres.left(20))};
    return text;
}

QString checkedCheckCode(const QString &code) {
    static const QRegularExpression fourDigits(u"^[0-9]{4}$"_s);
    if (!fourDigits.match(code).hasMatch())
        throw ApiRefusal{400, u"验证码必须是4位数字"_s};
    return code;
}

QString checkedQueue(const QString &queue) {
    static const QRegularExpression name(u"^[A-Za-z0-9_.][A-Za-z0-9_.-]{0,126}$"_s);
    if (!queue.isEmpty() && !name.match(queue).hasMatch())
        throw ApiRefusal{400, u"打印队列名称不正确：%1"_s.arg(queue.left(40))};
    return queue;
}

QString checkedName(const QString &name) {
    const bool control = std::any_of(name.cbegin(), name.cend(),
                                     [](QChar c) { return c.category() == QChar::Other_Control; });
    if (name.trimmed().isEmpty() || name.size() > 64 || control || name != name.trimmed())
        throw ApiRefusal{400, u"名称必须是1到64个字符，不含控制字符，首尾无空格"_s};
    return name;
}

QString checkedRole(const QString &role) {
    if (role != u"agent" && role != u"supervisor" && role != u"admin")
        throw ApiRefusal{400, u"角色必须是 agent、supervisor 或 admin"_s};
    return role;
}

QJsonObject counterJson(const CounterRecord &counter, bool withAgents) {
    QJsonObject object{{u"name"_s, counter.name},
                       {u"checkCode"_s, counter.checkCode},
                       {u"left"_s, counter.leftOffsetMm},
                       {u"top"_s, counter.topOffsetMm},
                       {u"queue"_s, counter.queue}};
    if (withAgents)
        object.insert(u"agents"_s, QJsonArray::fromStringList(counter.agents));
    return object;
}

} // namespace itinerary::web
