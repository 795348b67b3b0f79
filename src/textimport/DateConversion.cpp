#include "textimport/DateConversion.h"

#include "base/Clock.h"
#include "sheet/TextRules.h"
#include "textimport/CodeTables.h"

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// Half a year: a date without a year is taken to lie within this many days of today.
constexpr qint64 NearerYearDays = 183;
// Leap years lie at most eight years apart (2096, 2104): 29FEB finds its year within that.
constexpr int LongestLeapGap = 8;

bool isTwoAsciiDigits(QStringView text) {
    return text.size() == 2 && text[0] >= u'0' && text[0] <= u'9' && text[1] >= u'0' &&
           text[1] <= u'9';
}

QString yearText(int year) {
    return u"%1"_s.arg(year, 4, 10, QLatin1Char('0'));
}

// A display date taken apart: trimmed text, month digits (empty when unknown), day text.
struct DateParts {
    QString trimmed;
    QString month;
    QString day;

    explicit DateParts(const QString &date)
        : trimmed(trimBlanks(date))
        , month(monthNumber(trimmed.mid(2, 3)))
        , day(trimmed.left(2)) {}

    bool hasYear() const { return trimmed.size() == 7; }
    // Day and month readable as numbers (the day may still not exist in a given year).
    bool readable() const { return !month.isEmpty() && isTwoAsciiDigits(day); }
    QDate in(int year) const { return QDate(year, month.toInt(), day.toInt()); }
    QString textIn(int year) const { return yearText(year) + u'-' + month + u'-' + day; }
};

FlightDate withOwnYear(const DateParts &d) {
    // A two-digit year is this century's, written in full like every other date.
    const QString year = d.trimmed.mid(5, 2);
    if (!isTwoAsciiDigits(year))
        return {year + u'-' + d.month + u'-' + d.day, std::nullopt};
    const int fullYear = 2000 + year.toInt();
    const QDate date = d.readable() ? d.in(fullYear) : QDate();
    return {d.textIn(fullYear), date.isValid() ? std::optional<QDate>(date) : std::nullopt};
}

FlightDate nearestToday(const DateParts &d, const Clock &clock) {
    const QDate today = clock.today();
    int year = today.year();
    if (d.readable() && d.in(year).isValid()) {
        const qint64 offset = today.daysTo(d.in(year));
        int rolled = year;
        if (offset < -NearerYearDays)
            rolled = year + 1;
        else if (offset > NearerYearDays)
            rolled = year - 1;
        // 29FEB of a leap year has no twin in the neighbouring years: it stays in the
        // only year nearby that has it.
        if (d.in(rolled).isValid())
            year = rolled;
        return {d.textIn(year), d.in(year)};
    }
    return {d.textIn(year), std::nullopt};
}

} // namespace

QString numericDate(const QString &date, const Clock &clock) {
    const DateParts d(date);
    return d.hasYear() ? withOwnYear(d).text : nearestToday(d, clock).text;
}

FlightDate flightDate(const QString &date, const Clock &clock, std::optional<QDate> previous) {
    const DateParts d(date);
    if (d.hasYear())
        return withOwnYear(d);
    if (previous && d.readable()) {
        for (int year = previous->year(); year <= previous->year() + LongestLeapGap; ++year) {
            const QDate candidate = d.in(year);
            if (candidate.isValid() && candidate >= *previous)
                return {d.textIn(year), candidate};
        }
    }
    return nearestToday(d, clock);
}

} // namespace itinerary
