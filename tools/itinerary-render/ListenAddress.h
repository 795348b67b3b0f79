#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

namespace itinerary {

struct ListenAddress {
    QHostAddress address;
    quint16 port = 0;
};

// "ADDR:PORT": an IPv4 address, an IPv6 address in brackets ("[::1]:8088") or "localhost",
// and a port from 0 to 65535 (0 picks a free one).
std::optional<ListenAddress> parseListenAddress(const QString &text);

} // namespace itinerary
