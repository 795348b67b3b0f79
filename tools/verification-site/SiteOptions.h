#pragma once

#include "base/Result.h"
#include "http/HttpLimits.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

namespace itinerary::site {

inline constexpr quint16 DefaultSitePort = 8090;

struct SiteOptions {
    QHostAddress address{QHostAddress::LocalHost};
    quint16 port = DefaultSitePort; // 0 picks a free port
    QString ticketsFile;            // empty: the built-in sample tickets
    QString fixedCaptcha;           // empty: a random code per captcha picture
    int connectionsPerAddress = HttpLimits().maxConnectionsPerAddress;
    bool help = false;
    bool version = false;
};

// Reads the program's arguments (without the program name):
//   [--listen ADDR:PORT] [--tickets FILE] [--fixed-captcha CODE]
//   [--connections-per-address N] [--help] [--version]
// Each option also takes the "--option=value" form. ADDR:PORT as the rendering service reads
// it (see parseListenAddress).
// What is wrong, when they are not understood.
Result<SiteOptions> parseSiteOptions(const QStringList &arguments);

QString siteUsage();

} // namespace itinerary::site
