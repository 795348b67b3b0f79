#include "app/Config.h"

#include "BuildConfig.h"

#include <QUrl>

namespace itinerary {

QString Config::captchaUrlFor(const QString &siteHomeUrl) {
    const QUrl home(siteHomeUrl);
    const QUrl root = home.resolved(QUrl(QStringLiteral("/")));
    return root.toString() + QStringLiteral("newsky/servlet/CallYanServlet?");
}

Config Config::fromBuild() {
    Config config;
    config.serviceBaseUrl = QStringLiteral(ITINERARY_SERVICE_BASE_URL);
    config.siteHomeUrl = QStringLiteral(ITINERARY_SITE_HOME_URL);
    config.captchaUrl = captchaUrlFor(config.siteHomeUrl);
    return config;
}

} // namespace itinerary
