#include "sheet/FieldMap.h"

#include <QtGlobal>

namespace itinerary {

namespace {

constexpr int FieldHeight = 375;
constexpr int LabelHeight = 255;
constexpr std::array<int, SegmentRowCount> SegmentRowTops{1680, 2160, 2640, 3120};

struct ColumnInfo {
    QStringView meaning;
    int left;
    int width;
};

constexpr std::array<ColumnInfo, SegmentColumnCount> Columns{{
    {u"city", 120, 1695},
    {u"carrier", 1920, 975},
    {u"flight number", 3000, 855},
    {u"booking class", 3960, 495},
    {u"date", 4560, 1575},
    {u"departure time", 6240, 735},
    {u"fare basis", 7080, 735},
    {u"not valid before", 7920, 1935},
    {u"not valid after", 9960, 2175},
    {u"free baggage allowance", 12240, 735},
}};

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
    auto put = [&table](int index, FieldGroup group, QStringView meaning, QStringView label,
                        QStringView defaultText, int left, int top, int width,
                        int height = FieldHeight) {
        table[index] =
            FieldInfo{index, group, meaning, label, defaultText, {left, top, width, height}};
    };
    put(0, FieldGroup::PassengerRow, u"passenger name", u"旅客姓名", {}, 2880, 720, 1575);
    put(1, FieldGroup::PassengerRow, u"passenger identity document number", u"有效身份证号码", {},
        8040, 720, 2295);
    put(2, FieldGroup::PassengerRow, u"endorsements and restrictions", u"签注", u"不得签转", 11040,
        720, 1695);
    put(3, FieldGroup::PassengerRow, u"booking record code", u"编号PNR", {}, 840, 720, 1095);
    put(4, FieldGroup::OffSheet, u"mirror of the booking record code", {}, {}, 120, 5505, 735, 270);
    put(30, FieldGroup::FareRow, u"fare", u"票价", u"CNY 0.00", 2280, 3600, 1215);
    put(31, FieldGroup::FareRow, u"development fund", u"发展基金", u"CN 0.00", 4560, 3600, 1575);
    put(32, FieldGroup::FareRow, u"fuel surcharge", u"燃油费", u"YQ 0.00", 6960, 3600, 1455);
    put(33, FieldGroup::FareRow, u"total", u"合计", u"CNY 0.00", 11160, 3600, 1455);
    put(34, FieldGroup::TicketRow, u"e-ticket number", u"电子客票号码", {}, 1440, 4080, 1815);
    put(35, FieldGroup::TicketRow, u"check code", u"验证码", {}, 4080, 4080, 735);
    put(36, FieldGroup::TicketRow, u"notice text", u"提示信息", {}, 5880, 4080, 1575);
    put(37, FieldGroup::TicketRow, u"insurance", u"保险", u"XXX", 8280, 4080, 615);
    put(38, FieldGroup::AgencyRow, u"sales unit code", u"销售单位代码", {}, 1440, 4560, 975);
    put(39, FieldGroup::AgencyRow, u"issuing unit name", u"填开单位", {}, 4560, 4560, 1695);
    put(40, FieldGroup::AgencyRow, u"issue date", u"填开日期", {}, 7200, 4560, 1695);
    put(41, FieldGroup::AgencyRow, u"company number", {}, {}, 2520, 4560, 1095);
    put(51, FieldGroup::SegmentRows, u"arrival city after a fourth segment", {}, {}, 120, 3600,
        1695);
    put(58, FieldGroup::FareRow, u"other taxes", u"其它", u"XT 0.00", 9000, 3600, 1455);

    for (int row = 0; row < SegmentRowCount; ++row) {
        for (int column = 0; column < SegmentColumnCount; ++column) {
            const int index = row < 3 ? ruleField(row, column) : FourthRow[column];
            const ColumnInfo &info = Columns[column];
            table[index] =
                FieldInfo{index,        FieldGroup::SegmentRows,
                          info.meaning, {},
                          {},           {info.left, SegmentRowTops[row], info.width, FieldHeight},
                          row,          column};
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

const QList<LabelInfo> &sheetLabels() {
    static const QList<LabelInfo> labels = [] {
        const auto label = [](QStringView caption, int left, int top, int width, bool centred) {
            return LabelInfo{caption, {left, top, width, LabelHeight}, centred};
        };
        return QList<LabelInfo>{
            label(u"编号PNR", 120, 840, 735, false),
            label(u"旅客姓名", 2040, 840, 855, false),
            label(u"有效身份证号码", 6720, 840, 1575, false),
            label(u"签注", 10560, 840, 495, false),
            label(u"航段信息", 120, 1320, 1695, true),
            label(u"承运人", 2160, 1320, 615, true),
            label(u"航班号", 3120, 1320, 615, true),
            label(u"舱位等级", 3840, 1320, 855, true),
            label(u"日期", 4920, 1320, 855, true),
            label(u"时间", 6120, 1320, 855, true),
            label(u"客票级别", 7080, 1320, 855, true),
            label(u"客票生效日期", 8280, 1320, 1215, true),
            label(u"有效截止日期", 10440, 1320, 1215, true),
            label(u"免费行李", 12120, 1320, 855, true),
            label(u"票价", 1920, 3720, 495, false),
            label(u"发展基金", 3720, 3720, 975, false),
            label(u"燃油费", 6360, 3720, 735, false),
            label(u"其它", 8520, 3720, 735, false),
            label(u"合计", 10680, 3720, 495, false),
            label(u"电子客票号码", 120, 4200, 1335, false),
            label(u"验证码", 3480, 4200, 735, false),
            label(u"提示信息", 4920, 4200, 975, false),
            label(u"保险", 7680, 4200, 735, false),
            label(u"销售单位代码", 120, 4680, 1335, false),
            label(u"填开单位", 3720, 4680, 1335, false),
            label(u"填开日期", 6360, 4680, 855, false),
        };
    }();
    return labels;
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
