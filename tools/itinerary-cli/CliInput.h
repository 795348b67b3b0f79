#pragma once

#include "base/Result.h"

#include <QString>

namespace itinerary::cli {

// Reads a whole text from a file, or from standard input when `path` is empty or "-",
// decoded as UTF-8 (byte-order mark dropped) or GB18030 when not valid UTF-8; why not, on a
// read error.
Result<QString> readInputText(const QString &path);

} // namespace itinerary::cli
