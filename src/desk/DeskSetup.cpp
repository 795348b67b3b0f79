#include "desk/DeskSetup.h"

#include "BuildConfig.h"
#include "render/ReceiptLayout.h"
#include "settings/SettingsFile.h"
#include "textimport/AgencyCodes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace itinerary {

QString DeskSetup::settingsFile() const {
    return QDir(settingsDirectory).filePath(QLatin1String(SettingsFileName));
}

QString DeskSetup::agencyCodesFile() const {
    return agencyCodesPath(settingsFile());
}

QString DeskSetup::layoutFile() const {
    return QDir(settingsDirectory).filePath(QLatin1String(AgencyLayoutFileName));
}

CounterCodes DeskSetup::readCodes(const FileSystem &files) const {
    CounterCodes codes;
    codes.agency = loadAgencyCodes(agencyCodesFile(), files);
    codes.tables = CodeTables::builtIn().withAgencyCodes(codes.agency.codes);
    return codes;
}

DeskSetup DeskSetup::fromBuild() {
    DeskSetup setup;
    setup.serviceBaseUrl = QStringLiteral(ITINERARY_SERVICE_BASE_URL);
    setup.settingsDirectory =
        QFileInfo(settingsFilePath(QCoreApplication::applicationDirPath(), userSettingsDirectory()))
            .absolutePath();
    return setup;
}

QString DeskSetup::moduleFile(const QString &fileName) {
    const QString programDirectory = QCoreApplication::applicationDirPath();
    const QString besideProgram = QDir(programDirectory).filePath(fileName);
    if (QFileInfo::exists(besideProgram))
        return besideProgram;
    return QFileInfo(programDirectory + QStringLiteral("/" ITINERARY_MODULE_DIR "/") + fileName)
        .absoluteFilePath();
}

} // namespace itinerary
