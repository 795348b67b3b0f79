#include "FormFields.h"

#include <QList>

namespace itinerary::site {

namespace {
QString decodeComponent(QByteArray bytes) {
    bytes.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(bytes));
}
} // namespace

QHash<QString, QString> parseFormFields(const QByteArray &encoded) {
    QHash<QString, QString> fields;
    const QList<QByteArray> pairs = encoded.split('&');
    for (const QByteArray &pair : pairs) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        const QString name = decodeComponent(equals < 0 ? pair : pair.left(equals));
        const QString value = equals < 0 ? QString() : decodeComponent(pair.mid(equals + 1));
        if (!fields.contains(name))
            fields.insert(name, value);
    }
    return fields;
}

} // namespace itinerary::site
