#include "settings/StartupValues.h"

#include "settings/SettingsFile.h"
#include "sheet/Itinerary.h"

namespace itinerary {

using namespace Qt::StringLiterals;

StartupValues loadStartupValues(const QString &serviceBaseUrl, const QString &iniPath,
                                Itinerary &sheet, const FileSystem &fileSystem,
                                const Clock &clock) {
    StartupValues values;
    values.intlFlag = 0;
    sheet.setIntlFlag(0);
    values.printUrl = serviceBaseUrl + u"Print/print.asp"_s;
    values.applicationTitle = ApplicationTitle.toString();
    values.settingsPath = iniPath;
    values.storedOffsets = loadSettings(values.settingsPath, sheet, fileSystem, clock);
    return values;
}

} // namespace itinerary
