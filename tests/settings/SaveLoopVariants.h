#pragma once

#include <QString>

// The two settings that settings_save_loop saves in turn, and that tst_settingskill expects
// to find whole, one or the other, after killing it. Of different lengths and a few kilobytes
// each, so that a torn file would show.
namespace itinerary::test {

struct SavedSettings {
    QString leftOffsetMm;
    QString topOffsetMm;
    QString companyCode;
    QString companyNumber;
    QString companyName;
};

inline SavedSettings savedVariant(int which) {
    if (which % 2 == 0)
        return {QStringLiteral("-3"), QStringLiteral("2"), QStringLiteral("BJS123"),
                QStringLiteral("08012345"), QStringLiteral("北京华夏旅行社").repeated(300)};
    return {QStringLiteral("12.5"), QStringLiteral("-0.5"), QStringLiteral("SHA999"),
            QStringLiteral("1"), QStringLiteral("上海东方航空服务").repeated(110)};
}

} // namespace itinerary::test
