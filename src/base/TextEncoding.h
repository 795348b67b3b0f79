#pragma once

#include <QByteArray>
#include <QString>

namespace itinerary {

// Text arriving as bytes from outside (files, standard input, the wire): UTF-8 when the
// bytes are valid UTF-8 (a leading byte-order mark dropped), GB18030 otherwise, so files
// from Chinese Windows systems (GBK) stay readable.
QString decodeUtf8OrGb18030(const QByteArray &bytes);

// True when the bytes are valid UTF-8.
bool isValidUtf8(const QByteArray &bytes);

// GB18030 bytes: byte for byte GBK for every character GBK has.
QByteArray encodeGb18030(const QString &text);

} // namespace itinerary
