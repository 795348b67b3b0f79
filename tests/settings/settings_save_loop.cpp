// settings_save_loop PATH: saves the settings file at PATH for ever, the two variants in turn,
// as the application saves it. It prints "saving" once it has started, and ends only when it
// is killed (or a save fails, with status 1): the child that tst_settingskill kills.
#include "SaveLoopVariants.h"

#include "base/LocalFileSystem.h"
#include "settings/SettingsFile.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

#include <QCoreApplication>

#include <cstdio>

using namespace itinerary;

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: settings_save_loop PATH\n", stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    LocalFileSystem fileSystem;
    Itinerary sheet;
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    for (int i = 1;; ++i) {
        const test::SavedSettings v = test::savedVariant(i);
        sheet.setText(Field::AgentCode, v.companyCode);
        sheet.setText(Field::CompanyNumber, v.companyNumber);
        sheet.setText(Field::IssuingUnit, v.companyName);
        const Result<> result =
            saveSettings(path, sheet, OffsetTexts{v.leftOffsetMm, v.topOffsetMm}, fileSystem);
        if (!result) {
            std::fputs(qPrintable(result.error() + QLatin1Char('\n')), stderr);
            return 1;
        }
    }
}
