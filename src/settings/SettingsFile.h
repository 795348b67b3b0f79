#pragma once

#include "base/Result.h"

#include <QDate>
#include <QString>

#include <optional>

namespace itinerary {

class Clock;
class FileSystem;
class Itinerary;

// The settings file: the two print offsets and the three agency fields (38 sales unit code,
// 41 company number, 39 issuing unit), kept between runs as tagged text.

inline constexpr auto SettingsFileName = "info.ini";
// The fixed names under the user's configuration directory.
inline constexpr auto SettingsOrganisation = "itinerary";
inline constexpr auto SettingsApplication = "itinerary";
// The short date form of the issue date, before "/" and "\" become "-": 2026-12-7.
inline constexpr auto IssueDateFormat = "yyyy/M/d";

// Where the settings file lives: in the application directory when that directory already
// holds one (a portable installation), otherwise in `userConfigDir`. An installed program's
// directory is never written to.
QString settingsFilePath(const QString &applicationDir, const QString &userConfigDir);
// The user's configuration directory for the settings: the platform's configuration
// location followed by the fixed organisation and application names.
QString userSettingsDirectory();

// The value between the first "<tag>" and the first "</tag>" after it, exactly as it stands,
// or nothing when the opening tag is missing or its closing tag does not follow before the
// next "<tag>". Tags are compared exactly, case and all.
std::optional<QString> tagValue(const QString &content, const QString &tag);

// The file's text: seven lines, each of the first six ending in CR LF, the last one
// ("</setup>") in nothing; the values unchanged.
QString settingsText(const QString &leftOffsetMm, const QString &topOffsetMm,
                     const QString &companyCode, const QString &companyNumber,
                     const QString &companyName);

// Today's date for the issue-date field in the given date form, with every "/" and then
// every "\" turned into "-"; other separators stay.
QString issueDateText(const QDate &today,
                      const QString &dateFormat = QLatin1String(IssueDateFormat));

// The two print offsets as the file keeps them: millimetres as typed, "0" by default.
struct OffsetTexts {
    QString leftMm = QStringLiteral("0");
    QString topMm = QStringLiteral("0");
    bool operator==(const OffsetTexts &) const = default;
};

// Copies the file's values into fields 38, 41 and 39 (a tag that is not found empties its
// field) and gives back its offsets (a tag that is not found gives an empty offset). A file
// that is absent, cannot be read or is empty changes no field and gives no offsets. In every
// case field 40 gets today's date.
std::optional<OffsetTexts> loadSettings(const QString &iniPath, Itinerary &sheet,
                                        const FileSystem &fileSystem, const Clock &clock);

// Replaces the file with the offsets and the sheet's agency fields. Saving an unchanged sheet
// again gives the same bytes. On failure, what the operator is told, naming the file.
Result<> saveSettings(const QString &iniPath, const Itinerary &sheet, const OffsetTexts &offsets,
                      FileSystem &fileSystem);

} // namespace itinerary
