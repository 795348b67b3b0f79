#include "app/Config.h"

#include "BuildConfig.h"

#include <QUrl>

namespace itinerary {

QString Config::captchaUrlFor(const QString &siteHomeUrl) {
    const QUrl home(siteHomeUrl);
    const QUrl root = home.resolved(QUrl(QStringLiteral("/")));
    return root.toString() + QStringLiteral("newsky/servlet/CallYanServlet?");
}

DeskSetup Config::deskSetup() const {
    DeskSetup setup;
    setup.serviceBaseUrl = serviceBaseUrl;
    setup.settingsDirectory = settingsDirectory;
    setup.loadTimeout = std::chrono::milliseconds(loadTimeoutMs);
    return setup;
}

Config Config::fromBuild() {
    const DeskSetup desk = DeskSetup::fromBuild();
    Config config;
    config.serviceBaseUrl = desk.serviceBaseUrl;
    config.siteHomeUrl = QStringLiteral(ITINERARY_SITE_HOME_URL);
    config.captchaUrl = captchaUrlFor(config.siteHomeUrl);
    config.settingsDirectory = desk.settingsDirectory;
    config.browserEngineFile = DeskSetup::moduleFile(QStringLiteral(ITINERARY_BROWSER_ENGINE_NAME));
    return config;
}

} // namespace itinerary
