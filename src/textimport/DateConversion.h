#pragma once

#include <QDate>
#include <QString>

#include <optional>

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

// A flight's date within a trip: its text as printed, and the day it names when it names one.
struct FlightDate {
    QString text;
    std::optional<QDate> date;
    bool operator==(const FlightDate &) const = default;
};

// The date of a flight that follows a flight on `previous` (nothing for the first flight of
// the trip, or when no flight before it had a real date). Without a previous date, or for a
// text with its own year, the date is read as `numericDate` reads it. Otherwise a ddMMM date
// takes the first year, from `previous`'s year on, that puts it on or after `previous`, so a
// trip runs forward in time across the turn of the year. A text that names no day is printed
// as `numericDate` prints it and has no date.
FlightDate flightDate(const QString &date, const Clock &clock, std::optional<QDate> previous);

} // namespace itinerary
