#include "settings/StartupValues.h"

#include "settings/SettingsFile.h"
#include "sheet/Itinerary.h"

namespace itinerary {

using namespace Qt::StringLiterals;

StartupValues loadStartupValues(const QString &serviceBaseUrl, const QString &iniPath,
                                Itinerary &sheet, PrintPosition &position,
                                const FileSystem &fileSystem, const Clock &clock) {
    StartupValues values;
    values.intlFlag = 0;
    sheet.setIntlFlag(0);
    values.printUrl = serviceBaseUrl + u"Print/print.asp"_s;
    values.applicationTitle = u"行程单打印软件"_s;
    values.settingsPath = iniPath;
    loadSettings(values.settingsPath, sheet, position, fileSystem, clock);
    return values;
}

} // namespace itinerary
