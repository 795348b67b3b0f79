#include "print/PrintRequest.h"

#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"

namespace itinerary {

using namespace Qt::StringLiterals;

namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

QString requestValue(const QString &value) {
    if (!value.contains(u'%') && !value.contains(u','))
        return value;
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == u'%')
            escaped += u"%25"_s;
        else if (c == u',')
            escaped += u"%2C"_s;
        else
            escaped += c;
    }
    return escaped;
}

QString joinRequestValues(const QStringList &values) {
    QStringList escaped;
    escaped.reserve(values.size());
    for (const QString &value : values)
        escaped.append(requestValue(value));
    return escaped.join(u',');
}

QString joinFieldValues(const Itinerary &sheet) {
    QStringList values;
    values.reserve(FieldCount);
    for (int i = 0; i < FieldCount; ++i)
        values.append(trimBlanks(sheet.text(i)));
    return joinRequestValues(values);
}

QString requestTimeStamp(const QDateTime &now) {
    return now.toString(QLatin1String(RequestTimeStampFormat));
}

QString printRequestAddress(const QString &printUrl, qint16 intlFlag, const QString &fields,
                            const QDateTime &now) {
    return printUrl + u"?l="_s + QString::number(intlFlag) + u"&p="_s + fields + u'&' +
           requestTimeStamp(now);
}

QByteArray encodeRequestForWire(const QString &address) {
    const qsizetype question = address.indexOf(u'?');
    if (question < 0)
        return address.toUtf8();
    const QByteArray query = address.mid(question + 1).toUtf8();
    QByteArray wire = address.left(question + 1).toUtf8();
    wire.reserve(wire.size() + query.size() * 3);
    // Percent-encoded piece by piece between the escapes already written.
    qsizetype start = 0;
    for (qsizetype i = 0; i + 2 < query.size(); ++i) {
        if (query.at(i) == '%' && isHexDigit(query.at(i + 1)) && isHexDigit(query.at(i + 2))) {
            wire += query.sliced(start, i - start).toPercentEncoding("=&,");
            wire += query.sliced(i, 3);
            start = i + 3;
            i += 2;
        }
    }
    wire += query.sliced(start).toPercentEncoding("=&,");
    return wire;
}

} // namespace itinerary
