#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace itinerary {

class Itinerary;

// The general date-and-time form of the request's time-stamp; it changes every second.
inline constexpr auto RequestTimeStampFormat = "yyyy/M/d H:mm:ss";

// One value as the request's field list carries it: its "%" written "%25" and its ","
// written "%2C", so that the service, which cuts the list at bare commas before it decodes,
// gets a comma inside a value back inside its value. Everything else stands as it is.
QString requestValue(const QString &value);

// The values in order, each as requestValue() writes it, joined with ",".
QString joinRequestValues(const QStringList &values);

// The 59 field values in index order, each with its leading and trailing blanks removed,
// joined as joinRequestValues() does (58 separators; an empty field gives an empty slot).
QString joinFieldValues(const Itinerary &sheet);

QString requestTimeStamp(const QDateTime &now);

// The print request address, by plain concatenation:
// printUrl "?l=" flag "&p=" fields "&" time-stamp.
QString printRequestAddress(const QString &printUrl, qint16 intlFlag, const QString &fields,
                            const QDateTime &now);

// The address as it goes on the wire: the part before the first "?" as it stands (UTF-8);
// after it, the escapes the address holds already ("%" and two hexadecimal digits) as they
// are, and everything else percent-encoded as UTF-8 except the unreserved ASCII characters
// and the separators "=", "&" and ",", so that "#", "%", "+", spaces and Chinese text in a
// value reach the service intact.
QByteArray encodeRequestForWire(const QString &address);

} // namespace itinerary
