#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace itinerary::site {

// Decodes an application/x-www-form-urlencoded text (a POST body or a raw query): pairs
// separated by "&", name and value by the first "=", "+" for a space, percent-escapes of
// UTF-8 bytes. The first occurrence of a name wins. Decoded here rather than through QUrlQuery,
// which leaves "+" undecoded.
QHash<QString, QString> parseFormFields(const QByteArray &encoded);

} // namespace itinerary::site
