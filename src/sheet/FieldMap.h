#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <array>

// The itinerary sheet's field map: for each of the 59 field indices its group, meaning and
// default text, the segment grid, the field groups and the focus order. Every other part of
// the product reads these numbers from here; where the fields stand on the window is the
// window's business.
namespace itinerary {

inline constexpr int FieldCount = 59;
inline constexpr int SegmentRowCount = 4;

// Named indices of the fields other code refers to by meaning.
namespace Field {
inline constexpr int Name = 0;
inline constexpr int IdNumber = 1;
inline constexpr int Endorsement = 2;
inline constexpr int RecordCode = 3;
inline constexpr int RecordCodeMirror = 4;
inline constexpr int Fare = 30;
inline constexpr int DevelopmentFund = 31;
inline constexpr int FuelSurcharge = 32;
inline constexpr int Total = 33;
inline constexpr int TicketNumber = 34;
inline constexpr int CheckCode = 35;
inline constexpr int Notice = 36;
inline constexpr int Insurance = 37;
inline constexpr int AgentCode = 38;
inline constexpr int IssuingUnit = 39;
inline constexpr int IssueDate = 40;
inline constexpr int CompanyNumber = 41;
inline constexpr int FinalCity = 51;
inline constexpr int OtherTaxes = 58;
} // namespace Field

enum class FieldGroup { PassengerRow, OffSheet, SegmentRows, FareRow, TicketRow, AgencyRow };

enum class SegmentColumn {
    City,
    Carrier,
    Flight,
    BookingClass,
    Date,
    Time,
    FareBasis,
    NotValidBefore,
    NotValidAfter,
    Baggage,
};
inline constexpr int SegmentColumnCount = 10;

struct FieldInfo {
    int index = 0;
    FieldGroup group = FieldGroup::PassengerRow;
    QStringView meaning;     // English, for maintainers and tools
    QStringView defaultText; // design state of the field
    int segmentRow = -1;     // 0..3 for the segment grid, -1 otherwise
    int segmentColumn = -1;  // SegmentColumn as int for the segment grid, -1 otherwise
};

const std::array<FieldInfo, FieldCount> &fieldTable();
const FieldInfo &fieldInfo(int index);
inline bool isValidField(int index) {
    return index >= 0 && index < FieldCount;
}

// The field of segment row `row` (0..3) in `column`. Row 4 runs backwards from 57.
int segmentField(int row, SegmentColumn column);
// The city line `line` (0..4): the cities of rows 1-4, then field 51 below row 4.
int cityLineField(int line);

// Groups used by the other parts.
const QList<int> &passengerRowFields(); // 3, 0, 1, 2
const QList<int> &fareRowFields();      // 30, 31, 32, 58, 33
const QList<int> &ticketRowFields();    // 34, 35, 36, 37
const QList<int> &agencyRowFields();    // 38, 41, 39, 40
// The fields every import empties before it writes, in clearing order: 0, 1, 3 to 29, 34,
// and the fourth row's data fields and final city 50 to 57 (so no previous booking's fourth
// segment survives). The validity columns 42 to 49 are kept.
const QList<int> &clearedBeforeImportFields();
// Keyboard focus order through the sheet: 0, 1, 2, 3, 5, 6, ..., 58, and 4 last.
const QList<int> &sheetFocusOrder();

// The prefix the focus-leave rule writes for a fare field ("CNY ", "CN ", "YQ ", "XT "),
// empty for any other field.
QString farePrefix(int index);
inline bool isFareField(int index) {
    return index == Field::Fare || index == Field::DevelopmentFund ||
           index == Field::FuelSurcharge || index == Field::OtherTaxes || index == Field::Total;
}

} // namespace itinerary
