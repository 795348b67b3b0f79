#include "app/Config.h"

#include "BuildConfig.h"
#include "settings/SettingsFile.h"

#include <QCoreApplication>
#include <QFileInfo>
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
    config.settingsDirectory =
        QFileInfo(settingsFilePath(QCoreApplication::applicationDirPath(), userSettingsDirectory()))
            .absolutePath();
    const QString programDirectory = QCoreApplication::applicationDirPath();
    const QString engineName = QStringLiteral(ITINERARY_BROWSER_ENGINE_NAME);
    const QString besideProgram = programDirectory + u'/' + engineName;
    config.browserEngineFile =
        QFileInfo::exists(besideProgram)
            ? besideProgram
            : QFileInfo(programDirectory + QStringLiteral("/" ITINERARY_BROWSER_ENGINE_DIR "/") +
                        engineName)
                  .absoluteFilePath();
    return config;
}

} // namespace itinerary
