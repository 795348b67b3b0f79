#pragma once

#include <QString>

namespace itinerary {

class Clock;

// The numeric form of a display date.
//
// A trimmed text of exactly seven characters (ddMMMyy, "15MAY07") gives "20yy-MM-dd"
// ("2007-05-15") when its year is two ASCII digits, "yy-MM-dd" otherwise, and is not
// checked. Every other text is taken as ddMMM and gives
// "yyyy-MM-dd", the year chosen so that the date lies nearest today: when the date in the
// current year is more than 183 days before today it is next year's, more than 183 days
// after today last year's, otherwise this year's. A text that is no valid date in the current
// year (unknown month, a day that is not two digits, 31FEB) gives the current year, the
// month's digits (empty when unknown) and the first two characters as the day, and never
// fails.
QString numericDate(const QString &date, const Clock &clock);

} // namespace itinerary
