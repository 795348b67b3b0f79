#include "textimport/SegmentImport.h"

#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"
#include "textimport/CodeTables.h"
#include "textimport/DateConversion.h"
#include "textimport/FieldText.h"
#include "textimport/TextCutting.h"

#include <QStringList>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// Columns of a segment line, counted from 1 after the segment marker.
struct ColumnRange {
    qsizetype first;
    qsizetype last;
};
constexpr ColumnRange AirlineCode{1, 2};
constexpr ColumnRange FlightDesignator{1, 6};
constexpr ColumnRange BookingClass{8, 9};
constexpr ColumnRange DateColumns{14, 20};
constexpr ColumnRange DepartureAirport{21, 23};
constexpr ColumnRange ArrivalAirport{24, 26};
constexpr ColumnRange CityPair{21, 26};
constexpr ColumnRange BookingStatus{28, 29};
constexpr ColumnRange DepartureHour{34, 35};
constexpr ColumnRange DepartureMinute{36, 37};
constexpr ColumnRange DepartureTerminal{55, 56};
constexpr ColumnRange ArrivalTerminal{57, 58};
// Displays without the meal column: the e-ticket mark stands in column 49, the terminals
// follow it.
constexpr qsizetype ETicketMark = 53;
constexpr qsizetype ShiftedETicketMark = 49;
constexpr ColumnRange BlanksBeforeShiftedMark{43, 48};
constexpr ColumnRange ShiftedDepartureTerminal{51, 52};
constexpr ColumnRange ShiftedArrivalTerminal{53, 54};

QStringView column(QStringView line, ColumnRange range) {
    return columns(line, range.first, range.last);
}

QString trimmedColumn(QStringView line, ColumnRange range) {
    return trimBlanks(column(line, range).toString());
}

bool isBlanks(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c == u' '; });
}

struct Terminals {
    QStringView departure;
    QStringView arrival;
};

// The terminals of a flight line. A codeshare flight's note of the operating flight
// (" OP-FM9101") is no terminal, wherever it stands. Where the meal column is missing, the
// e-ticket mark stands in column 49 instead of 53 and the terminals four columns to the left.
Terminals terminalsOf(QStringView line) {
    const qsizetype note = line.indexOf(u" OP-");
    if (note >= 0)
        line = line.left(note);
    // Column 49 "E" and column 50 a blank.
    const QStringView shiftedMark = column(line, {ShiftedETicketMark, ShiftedETicketMark + 1});
    if (column(line, {ETicketMark, ETicketMark}) != u"E" && shiftedMark == u"E " &&
        isBlanks(column(line, BlanksBeforeShiftedMark)))
        return {column(line, ShiftedDepartureTerminal), column(line, ShiftedArrivalTerminal)};
    return {column(line, DepartureTerminal), column(line, ArrivalTerminal)};
}

// The departure time; a flight without times (a schedule change, an open flight) has none.
QString departureTime(QStringView line) {
    const QString hour = trimmedColumn(line, DepartureHour);
    const QString minute = trimmedColumn(line, DepartureMinute);
    if (hour.isEmpty() && minute.isEmpty())
        return QString();
    return hour + u':' + minute;
}

// Row `row` (0-based) from one segment line, in the order the sheet's change rules expect.
void fillRow(int row, QStringView line, const QString &date, Itinerary &sheet,
             const CodeTables &codes) {
    const auto write = [row, &sheet](SegmentColumn c, const QString &text) {
        sheet.setText(segmentField(row, c), fieldText(text));
    };
    write(SegmentColumn::City,
          cityCell(codes, column(line, DepartureAirport), terminalsOf(line).departure));
    write(SegmentColumn::Carrier, codes.airlineShortName(column(line, AirlineCode).toString()));
    write(SegmentColumn::Flight, trimmedColumn(line, FlightDesignator));
    write(SegmentColumn::BookingClass, trimmedColumn(line, BookingClass));
    write(SegmentColumn::Date, date);
    write(SegmentColumn::Time, departureTime(line));
    write(SegmentColumn::Baggage, u"20K"_s);
}

// The flights' dates, each after the one before it (the first as the display gives it).
QStringList tripDates(const QList<QStringView> &flights, int count, const Clock &clock) {
    QStringList dates;
    std::optional<QDate> previous;
    for (int i = 0; i < count; ++i) {
        const FlightDate date = flightDate(trimmedColumn(flights[i], DateColumns), clock, previous);
        dates.append(date.text);
        if (date.date)
            previous = date.date;
    }
    return dates;
}

QString upperColumn(QStringView line, ColumnRange range) {
    return toUpperSimple(column(line, range).toString());
}

// A flight designator: an airline code (two letters, or a letter and a digit in either
// order), 1 to 4 digits and at most one letter ("CA1501", "3U8881", "CA937A").
bool isFlightDesignator(const QString &text) {
    if (text.size() < 3)
        return false;
    const QChar a = text[0];
    const QChar b = text[1];
    if (!(isAsciiUpper(a) && (isAsciiUpper(b) || isAsciiDigit(b))) &&
        !(isAsciiDigit(a) && isAsciiUpper(b)))
        return false;
    qsizetype i = 2;
    while (i < text.size() && isAsciiDigit(text[i]))
        ++i;
    if (i == 2 || i > 6)
        return false;
    if (i < text.size() && isAsciiUpper(text[i]))
        ++i;
    return i == text.size();
}

bool isFlightLine(QStringView line) {
    const QString cities = upperColumn(line, CityPair);
    return isFlightDesignator(trimBlanks(upperColumn(line, FlightDesignator))) &&
           cities.size() == 6 && std::all_of(cities.begin(), cities.end(), isAsciiUpper);
}

// Cancelled, unconfirmed or refused: the passenger does not fly it.
bool isCancelledLine(QStringView line) {
    static const QStringList cancelled{u"HX"_s, u"XX"_s, u"UN"_s, u"UC"_s, u"NO"_s};
    return cancelled.contains(upperColumn(line, BookingStatus));
}

bool isCodeCharacter(QChar c) {
    return isAsciiLetter(c) || isAsciiDigit(c);
}

// The length of the segment marker at `at`: ".  ", or ". *" before a codeshare flight's
// designator (two letters or digits and a digit), where the "*" stands in the marker's
// second blank. 0 when none starts there.
qsizetype segmentMarkerAt(QStringView text, qsizetype at) {
    if (at + 3 > text.size() || text[at] != u'.' || text[at + 1] != u' ')
        return 0;
    if (text[at + 2] == u' ')
        return 3;
    if (text[at + 2] == u'*' && at + 6 <= text.size() && isCodeCharacter(text[at + 3]) &&
        isCodeCharacter(text[at + 4]) && isAsciiDigit(text[at + 5]))
        return 3;
    return 0;
}

} // namespace

QList<QStringView> cutAtSegmentMarkers(QStringView text) {
    QList<QStringView> pieces;
    qsizetype pieceStart = 0;
    qsizetype at = text.indexOf(u'.');
    while (at >= 0) {
        const qsizetype marker = segmentMarkerAt(text, at);
        if (marker > 0) {
            pieces.append(text.mid(pieceStart, at - pieceStart));
            pieceStart = at + marker;
        }
        at = text.indexOf(u'.', marker > 0 ? at + marker : at + 1);
    }
    pieces.append(text.mid(pieceStart));
    return pieces;
}

QString terminalText(QStringView terminal) {
    const QString trimmed = trimBlanks(terminal.toString());
    if (trimmed == u"--")
        return QString();
    if (trimmed.size() == 1 && isAsciiDigit(trimmed[0]))
        return u"T"_s + trimmed;
    return trimmed;
}

QString cityCell(const CodeTables &codes, QStringView airportCode, QStringView terminal) {
    return codes.airportCityName(airportCode.toString()) + u"   "_s + terminalText(terminal);
}

QList<QStringView> flightLines(const QList<QStringView> &segmentTexts) {
    QList<QStringView> flights;
    QList<QStringView> flown;
    for (QStringView text : segmentTexts) {
        const QStringView line = firstLine(text);
        if (!isFlightLine(line))
            continue;
        flights.append(line);
        if (!isCancelledLine(line))
            flown.append(line);
    }
    return flown.isEmpty() ? flights : flown;
}

void importSegments(const QList<QStringView> &flights, Itinerary &sheet, const Clock &clock,
                    const CodeTables &codes) {
    const int count = int(std::min<qsizetype>(flights.size(), MaxImportedSegments));
    if (count == 0)
        return;
    const QStringList dates = tripDates(flights, count, clock);
    for (int row = 0; row < count; ++row)
        fillRow(row, flights[row], dates[row], sheet, codes);

    const QStringView last = flights[count - 1];
    sheet.setText(cityLineField(count), fieldText(cityCell(codes, column(last, ArrivalAirport),
                                                           terminalsOf(last).arrival)));
    if (count < MaxImportedSegments) {
        sheet.setText(segmentField(count, SegmentColumn::Carrier), u"VOID"_s);
        sheet.setText(cityLineField(count + 1), u"VOID"_s);
    }
}

} // namespace itinerary
