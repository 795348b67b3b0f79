#include "ListenAddress.h"

#include "base/AsciiText.h"

#include <algorithm>

namespace itinerary {

namespace {
constexpr qsizetype MaxPortDigits = 5;

std::optional<quint16> parsePort(QStringView text) {
    // Digits only: the number reader would also take a sign or blanks.
    if (text.isEmpty() || text.size() > MaxPortDigits ||
        !std::all_of(text.begin(), text.end(), isAsciiDigit))
        return std::nullopt;
    bool ok = false;
    const ushort port = text.toUShort(&ok);
    return ok ? std::optional<quint16>(port) : std::nullopt;
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
