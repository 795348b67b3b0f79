#include "print/PrintRequest.h"

#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"

#include <QStringList>

namespace itinerary {

using namespace Qt::StringLiterals;

QString joinFieldValues(const Itinerary &sheet) {
    QStringList values;
    values.reserve(FieldCount);
    for (int i = 0; i < FieldCount; ++i)
        values.append(trimBlanks(sheet.text(i)));
    return values.join(u',');
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
    return address.left(question + 1).toUtf8() +
           address.mid(question + 1).toUtf8().toPercentEncoding("=&,");
}

} // namespace itinerary
