#pragma once

#include <QString>
#include <QStringView>

namespace itinerary {

// A value read from the display as a sheet field holds it: one line. Where the value runs
// over a line end (a name cut at the end of a screen row), the line end and the blanks after
// it are removed and the two parts are joined with nothing between them ("WANG/XIAO" and
// "MING" give WANG/XIAOMING), or with one blank when the first part ended in blanks
// ("SMITH/JOHN " and "MR" give SMITH/JOHN MR). A tab is written as a blank.
QString fieldText(const QString &value);

} // namespace itinerary
