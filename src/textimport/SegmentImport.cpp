#include "textimport/SegmentImport.h"

#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"
#include "textimport/CodeTables.h"
#include "textimport/DateConversion.h"
#include "textimport/TextCutting.h"

#include <QStringList>

#include <algorithm>

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
constexpr ColumnRange FlightDate{14, 20};
constexpr ColumnRange DepartureAirport{21, 23};
constexpr ColumnRange ArrivalAirport{24, 26};
constexpr ColumnRange CityPair{21, 26};
constexpr ColumnRange BookingStatus{28, 29};
constexpr ColumnRange DepartureHour{34, 35};
constexpr ColumnRange DepartureMinute{36, 37};
constexpr ColumnRange DepartureTerminal{55, 56};
constexpr ColumnRange ArrivalTerminal{57, 58};

QStringView column(QStringView line, ColumnRange range) {
    return columns(line, range.first, range.last);
}

QString trimmedColumn(QStringView line, ColumnRange range) {
    return trimBlanks(column(line, range).toString());
}

// Row `row` (0-based) from one segment line, in the order the sheet's change rules expect.
void fillRow(int row, QStringView line, Itinerary &sheet, const Clock &clock,
             const CodeTables &codes) {
    const auto field = [row](SegmentColumn c) { return segmentField(row, c); };
    sheet.setText(field(SegmentColumn::City),
                  cityCell(codes, column(line, DepartureAirport), column(line, DepartureTerminal)));
    sheet.setText(field(SegmentColumn::Carrier),
                  codes.airlineShortName(column(line, AirlineCode).toString()));
    sheet.setText(field(SegmentColumn::Flight), trimmedColumn(line, FlightDesignator));
    sheet.setText(field(SegmentColumn::BookingClass), trimmedColumn(line, BookingClass));
    sheet.setText(field(SegmentColumn::Date), numericDate(trimmedColumn(line, FlightDate), clock));
    sheet.setText(field(SegmentColumn::Time),
                  trimmedColumn(line, DepartureHour) + u':' + trimmedColumn(line, DepartureMinute));
    sheet.setText(field(SegmentColumn::Baggage), u"20K"_s);
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

} // namespace

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
    for (int row = 0; row < count; ++row)
        fillRow(row, flights[row], sheet, clock, codes);

    const QStringView last = flights[count - 1];
    sheet.setText(cityLineField(count),
                  cityCell(codes, column(last, ArrivalAirport), column(last, ArrivalTerminal)));
    if (count < MaxImportedSegments) {
        sheet.setText(segmentField(count, SegmentColumn::Carrier), u"VOID"_s);
        sheet.setText(cityLineField(count + 1), u"VOID"_s);
    }
}

} // namespace itinerary
