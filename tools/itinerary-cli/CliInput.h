#pragma once

#include "base/Result.h"

#include <QString>

namespace itinerary::cli {

// Reads a whole text from a file, or from standard input when `path` is empty or "-",
// decoded as decodeText does (UTF-8, byte-order mark dropped; mostly UTF-8 with a few bad
// bytes replaced, each line that held them named on standard error; or GB18030); why not, on
// a read error.
Result<QString> readInputText(const QString &path);

} // namespace itinerary::cli
