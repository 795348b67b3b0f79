#include "sheet/SheetGeometry.h"

#include "sheet/FieldMap.h"

#include <array>

namespace itinerary {

namespace {

constexpr int FieldHeight = 375;
constexpr int LabelHeight = 255;
constexpr std::array<int, SegmentRowCount> SegmentRowTops{1680, 2160, 2640, 3120};

struct ColumnPlace {
    int left;
    int width;
};

constexpr std::array<ColumnPlace, SegmentColumnCount> ColumnPlaces{{
    {120, 1695},  // city
    {1920, 975},  // carrier
    {3000, 855},  // flight number
    {3960, 495},  // booking class
    {4560, 1575}, // date
    {6240, 735},  // departure time
    {7080, 735},  // fare basis
    {7920, 1935}, // not valid before
    {9960, 2175}, // not valid after
    {12240, 735}, // free baggage allowance
}};

std::array<TwipRect, FieldCount> buildRects() {
    std::array<TwipRect, FieldCount> rects{};
    const auto put = [&rects](int index, int left, int top, int width, int height = FieldHeight) {
        rects[index] = TwipRect{left, top, width, height};
    };
    put(0, 2880, 720, 1575);
    put(1, 8040, 720, 2295);
    put(2, 11040, 720, 1695);
    put(3, 840, 720, 1095);
    put(4, 120, 5505, 735, 270);
    put(30, 2280, 3600, 1215);
    put(31, 4560, 3600, 1575);
    put(32, 6960, 3600, 1455);
    put(33, 11160, 3600, 1455);
    put(34, 1440, 4080, 1815);
    put(35, 4080, 4080, 735);
    put(36, 5880, 4080, 1575);
    put(37, 8280, 4080, 615);
    put(38, 1440, 4560, 975);
    put(39, 4560, 4560, 1695);
    put(40, 7200, 4560, 1695);
    put(41, 2520, 4560, 1095);
    put(51, 120, 3600, 1695);
    put(58, 9000, 3600, 1455);
    for (const FieldInfo &info : fieldTable()) {
        if (info.segmentRow < 0)
            continue;
        const ColumnPlace &column = ColumnPlaces[info.segmentColumn];
        put(info.index, column.left, SegmentRowTops[info.segmentRow], column.width);
    }
    return rects;
}

} // namespace

TwipRect fieldRect(int index) {
    static const std::array<TwipRect, FieldCount> rects = buildRects();
    Q_ASSERT(isValidField(index));
    return rects[index];
}

const QList<SheetLabel> &sheetLabels() {
    static const QList<SheetLabel> labels = [] {
        const auto label = [](QStringView caption, int left, int top, int width, bool centred) {
            return SheetLabel{caption, {left, top, width, LabelHeight}, centred};
        };
        return QList<SheetLabel>{
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

} // namespace itinerary
