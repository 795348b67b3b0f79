#include "AgencyCodeTables.h"

#include "CliCommand.h"

#include "settings/LocalFileSystem.h"
#include "settings/SettingsFile.h"
#include "textimport/AgencyCodes.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

QString windowSettingsFile() {
    return settingsFilePath(QCoreApplication::applicationDirPath(), userSettingsDirectory());
}

CodeTables agencyCodeTables(const QString &command, const QString &settingsFile) {
    const AgencyCodes agency = loadAgencyCodes(agencyCodesPath(settingsFile), LocalFileSystem());
    if (agency.unreadable)
        printError(u"%1: cannot read %2, its codes are not used"_s.arg(command, agency.path));
    for (const int line : agency.codes.unrecognisedLines) {
        printError(u"%1: %2:%3: not a code and a name, line ignored"_s.arg(command, agency.path)
                       .arg(line));
    }
    return CodeTables::builtIn().withAgencyCodes(agency.codes);
}

} // namespace itinerary::cli
