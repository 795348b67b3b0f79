#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

namespace itinerary {

struct ListenAddress {
    QHostAddress address;
    quint16 port = 0;
};

// The "--listen ADDR:PORT" value of the servers: ADDR is an IPv4 address in four dotted
// numbers, an IPv6 address in brackets ("[::1]:8088") or "localhost"; PORT is one to five
// ASCII digits up to 65535 (0 picks a free port). Nothing for any other text: no host names,
// no shortened IPv4 forms ("10.1" would otherwise mean 10.0.0.1), no bare IPv6 address.
std::optional<ListenAddress> parseListenAddress(const QString &text);

} // namespace itinerary
