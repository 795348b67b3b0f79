#include "CommandDesk.h"

#include "AgencyCodeTables.h"
#include "CliCommand.h"

using namespace Qt::StringLiterals;

namespace itinerary::cli {

std::unique_ptr<PrintDesk> openCommandDesk(const QString &command,
                                           const std::optional<QString> &serviceBaseUrl,
                                           bool layoutRequired, const DeskEdges &edges) {
    DeskSetup setup = DeskSetup::fromBuild();
    if (serviceBaseUrl)
        setup.serviceBaseUrl = *serviceBaseUrl;
    // The journal's rows kept back by an earlier run go out with this run's first print.
    setup.journalWaiting = PrintJournal::WaitingRows::SendLater;
    const bool embedded = setup.serviceBaseUrl.isEmpty();
    auto desk = std::make_unique<PrintDesk>(std::move(setup), edges);
    const DeskStartReport &report = desk->startReport();
    if (!report.layoutError.isEmpty() && (embedded || layoutRequired)) {
        printError(u"%1: %2"_s.arg(command, report.layoutError));
        return nullptr;
    }
    if (!report.serviceError.isEmpty()) {
        printError(
            u"%1: the rendering service did not start: %2"_s.arg(command, report.serviceError));
        return nullptr;
    }
    reportAgencyCodes(command, report.agencyCodes);
    return desk;
}

} // namespace itinerary::cli
