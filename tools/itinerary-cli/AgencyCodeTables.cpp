#include "AgencyCodeTables.h"

#include "CliCommand.h"

#include "base/LocalFileSystem.h"
#include "desk/DeskSetup.h"
#include "textimport/AgencyCodes.h"

using namespace Qt::StringLiterals;

namespace itinerary::cli {

void reportAgencyCodes(const QString &command, const AgencyCodes &agency) {
    if (agency.unreadable)
        printError(u"%1: cannot read %2, its codes are not used"_s.arg(command, agency.path));
    for (const int line : agency.codes.unrecognisedLines) {
        printError(u"%1: %2:%3: not a code and a name, line ignored"_s.arg(command, agency.path)
                       .arg(line));
    }
}

CodeTables agencyCodeTables(const QString &command, const DeskSetup &setup) {
    CounterCodes codes = setup.readCodes(LocalFileSystem());
    reportAgencyCodes(command, codes.agency);
    return std::move(codes.tables);
}

} // namespace itinerary::cli
