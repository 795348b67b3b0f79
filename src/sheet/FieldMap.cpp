#include "sheet/FieldMap.h"

#include <QtGlobal>

namespace itinerary {

namespace {

constexpr std::array<QStringView, SegmentColumnCount> ColumnMeanings{
    u"city",
    u"carrier",
    u"flight number",
    u"booking class",
    u"date",
    u"departure time",
    u"fare basis",
    u"not valid before",
    u"not valid after",
    u"free baggage allowance",
};

// Row 4 does not follow the rule of rows 1-3: the indices 30 to 33 in its place belong to
// the fare row, so its columns run backwards from 57.
constexpr std::array<int, SegmentColumnCount> FourthRow{29, 57, 56, 55, 54, 53, 52, 48, 49, 50};

int ruleField(int row, int column) {
    if (column == int(SegmentColumn::NotValidBefore))
        return 42 + 2 * row;
    if (column == int(SegmentColumn::NotValidAfter))
        return 43 + 2 * row;
    const int offset = column < int(SegmentColumn::NotValidBefore) ? column : 7;
    return 5 + 8 * row + offset;
}

std::array<FieldInfo, FieldCount> buildTable() {
    std::array<FieldInfo, FieldCount> table{};
    auto put = [&table](int index, FieldGroup group, QStringView meaning,
                        QStringView defaultText = {}) {
        table[index] = FieldInfo{index, group, meaning, defaultText};
    };
    put(0, FieldGroup::PassengerRow, u"passenger name");
    put(1, FieldGroup::PassengerRow, u"passenger identity document number");
    put(2, FieldGroup::PassengerRow, u"endorsements and restrictions", u"不得签转");
    put(3, FieldGroup::PassengerRow, u"booking record code");
    put(4, FieldGroup::OffSheet, u"mirror of the booking record code");
    put(30, FieldGroup::FareRow, u"fare", u"CNY 0.00");
    put(31, FieldGroup::FareRow, u"development fund", u"CN 0.00");
    put(32, FieldGroup::FareRow, u"fuel surcharge", u"YQ 0.00");
    put(33, FieldGroup::FareRow, u"total", u"CNY 0.00");
    put(34, FieldGroup::TicketRow, u"e-ticket number");
    put(35, FieldGroup::TicketRow, u"check code");
    put(36, FieldGroup::TicketRow, u"notice text");
    put(37, FieldGroup::TicketRow, u"insurance", u"XXX");
    put(38, FieldGroup::AgencyRow, u"sales unit code");
    put(39, FieldGroup::AgencyRow, u"issuing unit name");
    put(40, FieldGroup::AgencyRow, u"issue date");
    put(41, FieldGroup::AgencyRow, u"company number");
    put(51, FieldGroup::SegmentRows, u"arrival city after a fourth segment");
    put(58, FieldGroup::FareRow, u"other taxes", u"XT 0.00");

    for (int row = 0; row < SegmentRowCount; ++row) {
        for (int column = 0; column < SegmentColumnCount; ++column) {
            const int index = row < 3 ? ruleField(row, column) : FourthRow[column];
            table[index] =
                FieldInfo{index, FieldGroup::SegmentRows, ColumnMeanings[column], {}, row, column};
        }
    }
    return table;
}

QList<int> range(int first, int last) {
    QList<int> out;
    for (int i = first; i <= last; ++i)
        out.append(i);
    return out;
}

} // namespace

const std::array<FieldInfo, FieldCount> &fieldTable() {
    static const std::array<FieldInfo, FieldCount> table = buildTable();
    return table;
}

const FieldInfo &fieldInfo(int index) {
    Q_ASSERT(isValidField(index));
    return fieldTable()[index];
}

int segmentField(int row, SegmentColumn column) {
    Q_ASSERT(row >= 0 && row < SegmentRowCount);
    const int c = int(column);
    return row < 3 ? ruleField(row, c) : FourthRow[c];
}

int cityLineField(int line) {
    Q_ASSERT(line >= 0 && line <= SegmentRowCount);
    return line < SegmentRowCount ? segmentField(line, SegmentColumn::City) : Field::FinalCity;
}

const QList<int> &passengerRowFields() {
    static const QList<int> fields{3, 0, 1, 2};
    return fields;
}

const QList<int> &fareRowFields() {
    static const QList<int> fields{30, 31, 32, 58, 33};
    return fields;
}

const QList<int> &ticketRowFields() {
    static const QList<int> fields{34, 35, 36, 37};
    return fields;
}

const QList<int> &agencyRowFields() {
    static const QList<int> fields{38, 41, 39, 40};
    return fields;
}

const QList<int> &clearedBeforeImportFields() {
    static const QList<int> fields = [] {
        QList<int> out{0, 1};
        out += range(3, 29);
        out.append(Field::TicketNumber);
        out += range(50, 57);
        return out;
    }();
    return fields;
}

const QList<int> &sheetFocusOrder() {
    static const QList<int> order = [] {
        QList<int> out{0, 1, 2, 3};
        out += range(5, 58);
        out.append(Field::RecordCodeMirror);
        return out;
    }();
    return order;
}

QString farePrefix(int index) {
    switch (index) {
    case Field::Fare:
    case Field::Total:
        return QStringLiteral("CNY ");
    case Field::DevelopmentFund:
        return QStringLiteral("CN ");
    case Field::FuelSurcharge:
        return QStringLiteral("YQ ");
    case Field::OtherTaxes:
        return QStringLiteral("XT ");
    default:
        return QString();
    }
}

} // namespace itinerary
