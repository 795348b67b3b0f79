#pragma once

#include "CliCommand.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace itinerary::cli {

// The command line of `print`:
//   print [--check-code NNNN] [--left MM] [--top MM] [--service URL] FILE
// Each option also takes the form --option=VALUE; "--" ends the options; FILE "-" is
// standard input. The values of --check-code, --left and --top are taken as the operator
// would type them into the window and checked by the print job, like values from the
// settings file.
struct PrintOptions {
    std::optional<QString> checkCode;
    std::optional<QString> left;
    std::optional<QString> top;
    // An absolute http or https address ending in "/".
    std::optional<QString> serviceBaseUrl;
    QString bookingPath;
};

inline const QString PrintUsage =
    QStringLiteral("print [--check-code NNNN] [--left MM] [--top MM] [--service URL] FILE");

// The options, or the exit status when the command ends here.
CommandArguments<PrintOptions> parsePrintOptions(const QStringList &arguments);

// `text` as a service base address ("/" added when its path does not end in one), or
// nothing when it is not an absolute http or https address without query or fragment.
std::optional<QString> serviceBaseAddress(const QString &text);

} // namespace itinerary::cli
