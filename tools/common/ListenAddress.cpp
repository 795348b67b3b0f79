#include "ListenAddress.h"

namespace itinerary {

namespace {
constexpr qsizetype MaxPortDigits = 5;

std::optional<quint16> parsePort(QStringView text) {
    if (text.isEmpty() || text.size() > MaxPortDigits)
        return std::nullopt;
    uint port = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        port = port * 10 + uint(c.unicode() - u'0');
    }
    if (port > 65535)
        return std::nullopt;
    return quint16(port);
}
} // namespace

std::optional<ListenAddress> parseListenAddress(const QString &text) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    const std::optional<quint16> port = parsePort(QStringView(text).sliced(colon + 1));
    if (!port)
        return std::nullopt;
    QString host = text.first(colon);
    if (host.startsWith(u'[') && host.endsWith(u']')) {
        host = host.sliced(1, host.size() - 2);
        if (!host.contains(u':'))
            return std::nullopt;
    } else if (host.contains(u':')) {
        return std::nullopt; // an IPv6 address needs its brackets
    } else if (host != u"localhost" && host.count(u'.') != 3) {
        return std::nullopt;
    }
    ListenAddress result;
    result.port = *port;
    if (host == u"localhost")
        result.address = QHostAddress(QHostAddress::LocalHost);
    else if (!result.address.setAddress(host))
        return std::nullopt;
    return result;
}

} // namespace itinerary
