#include "ListenAddress.h"

namespace itinerary {

std::optional<ListenAddress> parseListenAddress(const QString &text) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    QString host = text.first(colon);
    const QString portText = text.sliced(colon + 1);
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    if (!ok || port > 65535 || portText.isEmpty() || !portText.front().isDigit())
        return std::nullopt;
    ListenAddress result;
    result.port = quint16(port);
    if (host.startsWith(u'[') && host.endsWith(u']')) {
        host = host.sliced(1, host.size() - 2);
        if (!host.contains(u':'))
            return std::nullopt;
    } else if (host.contains(u':')) {
        return std::nullopt; // an IPv6 address needs its brackets
    }
    if (host == QLatin1String("localhost")) {
        result.address = QHostAddress(QHostAddress::LocalHost);
        return result;
    }
    // Four dotted numbers only: the parser would also read "10.1" as 10.0.0.1.
    if (!host.contains(u':') && host.count(u'.') != 3)
        return std::nullopt;
    if (!result.address.setAddress(host))
        return std::nullopt;
    return result;
}

} // namespace itinerary
