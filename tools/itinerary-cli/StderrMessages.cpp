#include "StderrMessages.h"

#include "CliCommand.h"

namespace itinerary::cli {

void StderrMessages::showMessage(const QString &text, const QString &) {
    ++m_count;
    printError(m_command + QStringLiteral(": ") + text);
}

} // namespace itinerary::cli
