#include "print/StartupValues.h"

#include "print/SettingsFile.h"
#include "sheet/Itinerary.h"

namespace itinerary {

using namespace Qt::StringLiterals;

StartupValues InitApp(const QString &serviceBaseUrl, const QString &iniPath, Itinerary &sheet,
                      PrintPosition &position, const FileSystem &fileSystem, const Clock &clock) {
    StartupValues values;
    values.IntlFlag = 0;
    sheet.setIntlFlag(0);
    values.PrintUrl = serviceBaseUrl + u"Print/print.asp"_s;
    values.AppTitle = u"行程单打印软件"_s;
    values.IniPath = iniPath;
    LoadSettings(values.IniPath, sheet, position, fileSystem, clock);
    return values;
}

} // namespace itinerary
