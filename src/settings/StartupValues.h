#pragma once

#include "settings/SettingsFile.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace itinerary {

class Clock;
class FileSystem;
class Itinerary;

// The start of the window caption, and the title of the program's message boxes.
inline constexpr QStringView ApplicationTitle = u"行程单打印软件";

// The program-wide values prepared at start-up and kept for the whole run.
struct StartupValues {
    qint16 intlFlag = 0;      // 0 domestic, 1 international; the sheet holds the live value
    QString printUrl;         // the rendering service's print address
    QString applicationTitle; // the start of the window caption
    QString settingsPath;     // the settings file
    // The offsets the settings file holds; nothing when there is no usable file.
    std::optional<OffsetTexts> storedOffsets;
};

// The start-up procedure: domestic on the sheet, the print address (the service's base
// address, ending in "/", followed by "Print/print.asp"), the application title and the
// settings path; then the settings are loaded (the agency fields and the issue date onto the
// sheet, the offsets into the values).
StartupValues loadStartupValues(const QString &serviceBaseUrl, const QString &iniPath,
                                Itinerary &sheet, const FileSystem &fileSystem, const Clock &clock);

} // namespace itinerary
