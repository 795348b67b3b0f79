#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace itinerary {

class Itinerary;

// The general date-and-time form of the request's time-stamp; it changes every second.
inline constexpr auto RequestTimeStampFormat = "yyyy/M/d H:mm:ss";

// The 59 field values in index order, each with its leading and trailing blanks removed,
// joined with "," (58 separators; an empty field gives an empty slot). Nothing inside a
// value is escaped, so a comma in a value cannot be told from a separator.
QString joinFieldValues(const Itinerary &sheet);

QString requestTimeStamp(const QDateTime &now);

// The print request address, by plain concatenation:
// printUrl "?l=" flag "&p=" fields "&" time-stamp.
QString printRequestAddress(const QString &printUrl, qint16 intlFlag, const QString &fields,
                            const QDateTime &now);

// The address as it goes on the wire: the part before the first "?" as it stands (UTF-8),
// everything after it percent-encoded as UTF-8 except the unreserved ASCII characters and
// the separators "=", "&" and ",", so that "#", "%", "+", spaces and Chinese text in a value
// reach the service intact.
QByteArray encodeRequestForWire(const QString &address);

} // namespace itinerary
