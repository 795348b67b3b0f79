#include "textimport/SegmentImport.h"

#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"
#include "textimport/CodeTables.h"
#include "textimport/DateConversion.h"
#include "textimport/TextCutting.h"

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
void fillRow(int row, QStringView line, Itinerary &sheet, const Clock &clock) {
    const auto field = [row](SegmentColumn c) { return segmentField(row, c); };
    sheet.setText(field(SegmentColumn::City),
                  cityCell(column(line, DepartureAirport), column(line, DepartureTerminal)));
    sheet.setText(field(SegmentColumn::Carrier),
                  airlineShortName(column(line, AirlineCode).toString()));
    sheet.setText(field(SegmentColumn::Flight), trimmedColumn(line, FlightDesignator));
    sheet.setText(field(SegmentColumn::BookingClass), trimmedColumn(line, BookingClass));
    sheet.setText(field(SegmentColumn::Date), numericDate(trimmedColumn(line, FlightDate), clock));
    sheet.setText(field(SegmentColumn::Time),
                  trimmedColumn(line, DepartureHour) + u':' + trimmedColumn(line, DepartureMinute));
    sheet.setText(field(SegmentColumn::Baggage), u"20K"_s);
}

} // namespace

QString cityCell(QStringView airportCode, QStringView terminal) {
    QString cell = airportCityName(airportCode.toString()) + u"   "_s;
    if (terminal != u"--")
        cell += terminal;
    return cell;
}

void importSegments(const QList<QStringView> &segmentTexts, Itinerary &sheet, const Clock &clock) {
    const int count = int(std::min<qsizetype>(segmentTexts.size(), MaxImportedSegments));
    if (count == 0)
        return;
    for (int row = 0; row < count; ++row)
        fillRow(row, firstLine(segmentTexts[row]), sheet, clock);

    const QStringView last = firstLine(segmentTexts[count - 1]);
    sheet.setText(cityLineField(count),
                  cityCell(column(last, ArrivalAirport), column(last, ArrivalTerminal)));
    if (count < MaxImportedSegments) {
        sheet.setText(segmentField(count, SegmentColumn::Carrier), u"VOID"_s);
        sheet.setText(cityLineField(count + 1), u"VOID"_s);
    }
}

} // namespace itinerary
