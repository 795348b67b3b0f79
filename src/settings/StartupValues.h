#pragma once

#include <QString>

namespace itinerary {

class Clock;
class FileSystem;
class Itinerary;
class PrintPosition;

// The program-wide values prepared at start-up and kept for the whole run.
struct StartupValues {
    qint16 intlFlag = 0;      // 0 domestic, 1 international; the sheet holds the live value
    QString printUrl;         // the rendering service's print address
    QString applicationTitle; // the start of the window caption
    QString settingsPath;     // the settings file
};

// The start-up procedure: domestic on the sheet, the print address (the service's base
// address, ending in "/", followed by "Print/print.asp"), the application title and the
// settings path; then the settings are loaded (and the issue date stamped).
StartupValues loadStartupValues(const QString &serviceBaseUrl, const QString &iniPath,
                                Itinerary &sheet, PrintPosition &position,
                                const FileSystem &fileSystem, const Clock &clock);

} // namespace itinerary
