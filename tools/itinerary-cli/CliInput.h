#pragma once

#include <QString>

#include <optional>

namespace itinerary::cli {

// Reads a whole text from a file, or from standard input when `path` is empty or "-",
// decoded as UTF-8 (byte-order mark dropped) or GB18030 when not valid UTF-8. Empty on a
// read error, with `error` set.
std::optional<QString> readInputText(const QString &path, QString *error);

} // namespace itinerary::cli
