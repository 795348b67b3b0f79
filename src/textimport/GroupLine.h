#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace itinerary {

// A group booking's line in the name section, element 0: the count, the group's name, "NM"
// and the count of names, then usually the record code ("0.12ZJTUAN NM12 KQ4M7X"). It names
// no passenger.
struct GroupLine {
    qsizetype start = 0; // where the line starts in the name section
    qsizetype end = 0;   // after its line end
    QString recordCode;  // empty when the line carries none
    bool operator==(const GroupLine &) const = default;
};

// The first line of `nameSection` that starts (after blanks) with "0." and holds " NM"
// followed by digits. Its record code is the token after the digits (after blanks) when that
// token is 5 or 6 ASCII letters and digits.
std::optional<GroupLine> findGroupLine(QStringView nameSection);

} // namespace itinerary
