#pragma once

#include "textimport/CodeList.h"

#include <QString>

namespace itinerary {

class FileSystem;

// The agency's own codes live in this file beside the settings file.
inline constexpr auto AgencyCodesFileName = "codes.txt";

// The agency's codes as read from its file.
struct AgencyCodes {
    QString path;
    // The file is there but could not be read; its codes are then not used.
    bool unreadable = false;
    CodeList codes;
    // Read as UTF-8 with a few bytes that are not: the lines that hold them.
    QList<int> replacedLines;
};

// The path of the agency's code file in the folder of the settings file `settingsFilePath`.
QString agencyCodesPath(const QString &settingsFilePath);

// Reads the agency's code file as the settings file is read (decodeText: UTF-8, mostly UTF-8
// with a few bad bytes replaced, or GB18030 and so GBK). An absent file is normal: no codes,
// nothing to report.
AgencyCodes loadAgencyCodes(const QString &path, const FileSystem &fileSystem);

// What the operator is told once at start-up about the file: one message naming the file,
// the lines with bytes that are not UTF-8 and every line that was skipped (the first ten
// line numbers, then how many in all); empty when there is nothing to tell.
QString agencyCodesMessage(const AgencyCodes &codes);

} // namespace itinerary
