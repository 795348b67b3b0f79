#pragma once

#include "textimport/CodeTables.h"

#include <QString>

namespace itinerary::cli {

// The window's settings file. The programs are installed side by side, so the window's
// application directory is this program's own: a portable installation's info.ini there is
// used, otherwise the one in the user's configuration directory. Needs the application
// object.
QString windowSettingsFile();

// The code tables of the window: the built-in ones with the agency's codes.txt beside
// `settingsFile`. Each line of the file that is no entry is reported on standard error with
// the file and its number ("<command>: FILE:LINE: ..."), as is a file that cannot be read.
CodeTables agencyCodeTables(const QString &command, const QString &settingsFile);

} // namespace itinerary::cli
