#include "textimport/DateConversion.h"

#include "base/Clock.h"
#include "sheet/TextRules.h"
#include "textimport/CodeTables.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// Half a year: a date without a year is taken to lie within this many days of today.
constexpr qint64 NearerYearDays = 183;

bool isTwoAsciiDigits(QStringView text) {
    return text.size() == 2 && text[0] >= u'0' && text[0] <= u'9' && text[1] >= u'0' &&
           text[1] <= u'9';
}

QString yearText(int year) {
    return u"%1"_s.arg(year, 4, 10, QLatin1Char('0'));
}

} // namespace

QString numericDate(const QString &date, const Clock &clock) {
    const QString d = trimBlanks(date);
    const QString month = monthNumber(d.mid(2, 3));
    const QString day = d.left(2);
    if (d.size() == 7) {
        // A two-digit year is this century's, written in full like every other date.
        const QString year = d.mid(5, 2);
        return (isTwoAsciiDigits(year) ? u"20"_s + year : year) + u'-' + month + u'-' + day;
    }

    const QDate today = clock.today();
    int year = today.year();
    if (!month.isEmpty() && isTwoAsciiDigits(day)) {
        const int m = month.toInt();
        const int dd = day.toInt();
        const QDate thisYear(year, m, dd);
        if (thisYear.isValid()) {
            const qint64 offset = today.daysTo(thisYear);
            int rolled = year;
            if (offset < -NearerYearDays)
                rolled = year + 1;
            else if (offset > NearerYearDays)
                rolled = year - 1;
            // 29FEB of a leap year has no twin in the neighbouring years: it stays in the
            // only year nearby that has it.
            if (QDate(rolled, m, dd).isValid())
                year = rolled;
        }
    }
    return yearText(year) + u'-' + month + u'-' + day;
}

} // namespace itinerary
