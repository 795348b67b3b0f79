#pragma once

#include <QString>

namespace itinerary {

// The check code for the next form after a form whose check code is `value`: value + 1 in
// the shortest general number form, padded with zeros on the left to four characters, or cut
// to its first four when it has five; any other length gives the empty text. The code is the
// last four digits of the form's serial number, so after 9999 comes 0000.
QString nextCheckCode(double value);

} // namespace itinerary
