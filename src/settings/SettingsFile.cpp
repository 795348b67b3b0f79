#include "settings/SettingsFile.h"

#include "base/Clock.h"
#include "settings/SettingsLog.h"
#include "settings/TextFiles.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace itinerary {

using namespace Qt::StringLiterals;

namespace {
const QString TagLeft = u"leftr"_s;
const QString TagTop = u"topb"_s;
const QString TagCompanyCode = u"companycode"_s;
const QString TagCompanyNumber = u"companynumber"_s;
const QString TagCompanyName = u"companyname"_s;

QString tagLine(const QString &tag, const QString &value) {
    return u'<' + tag + u'>' + value + u"</"_s + tag + u'>';
}
} // namespace

QString settingsFilePath(const QString &applicationDir, const QString &userConfigDir) {
    const QString portable = QDir(applicationDir).filePath(QLatin1String(SettingsFileName));
    if (!applicationDir.isEmpty() && QFileInfo(portable).isFile())
        return portable;
    return QDir(userConfigDir).filePath(QLatin1String(SettingsFileName));
}

QString userSettingsDirectory() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + u'/' + QLatin1String(SettingsOrganisation) + u'/' +
           QLatin1String(SettingsApplication);
}

std::optional<QString> tagValue(const QString &content, const QString &tag) {
    const QString opening = u'<' + tag + u'>';
    const qsizetype found = content.indexOf(opening);
    if (found < 0)
        return std::nullopt;
    const qsizetype start = found + opening.size();
    const qsizetype nextOpening = content.indexOf(opening, start);
    const QStringView piece = QStringView(content).mid(
        start, nextOpening < 0 ? content.size() - start : nextOpening - start);
    const qsizetype closing = piece.indexOf(QString(u"</"_s + tag + u'>'));
    if (closing < 0)
        return std::nullopt;
    return piece.left(closing).toString();
}

QString settingsText(const QString &leftOffsetMm, const QString &topOffsetMm,
                     const QString &companyCode, const QString &companyNumber,
                     const QString &companyName) {
    const QString crlf = u"\r\n"_s;
    return u"<setup>"_s + crlf + tagLine(TagLeft, leftOffsetMm) + crlf +
           tagLine(TagTop, topOffsetMm) + crlf + tagLine(TagCompanyCode, companyCode) + crlf +
           tagLine(TagCompanyNumber, companyNumber) + crlf + tagLine(TagCompanyName, companyName) +
           crlf + u"</setup>"_s;
}

QString issueDateText(const QDate &today, const QString &dateFormat) {
    QString text = today.toString(dateFormat);
    text.replace(u'/', u'-');
    text.replace(u'\\', u'-');
    return text;
}

std::optional<OffsetTexts> loadSettings(const QString &iniPath, Itinerary &sheet,
                                        const FileSystem &fileSystem, const Clock &clock) {
    // A file that cannot be read, or holds nothing, is treated like an absent one: the
    // offsets keep their usable defaults instead of becoming empty.
    const bool exists = pathExists(iniPath, fileSystem);
    const std::optional<QString> content =
        exists ? readTextFile(iniPath, fileSystem) : std::nullopt;
    if (exists && !content)
        qCWarning(settingsLog, "the settings file %s cannot be read; the defaults are used",
                  qUtf8Printable(iniPath));
    std::optional<OffsetTexts> offsets;
    if (content && !content->isEmpty()) {
        offsets = OffsetTexts{tagValue(*content, TagLeft).value_or(QString()),
                              tagValue(*content, TagTop).value_or(QString())};
        sheet.setText(Field::AgentCode, tagValue(*content, TagCompanyCode).value_or(QString()));
        sheet.setText(Field::CompanyNumber,
                      tagValue(*content, TagCompanyNumber).value_or(QString()));
        sheet.setText(Field::IssuingUnit, tagValue(*content, TagCompanyName).value_or(QString()));
    }
    sheet.setText(Field::IssueDate, issueDateText(clock.today()));
    return offsets;
}

Result<> saveSettings(const QString &iniPath, const Itinerary &sheet, const OffsetTexts &offsets,
                      FileSystem &fileSystem) {
    const QString text =
        settingsText(offsets.leftMm, offsets.topMm, sheet.text(Field::AgentCode),
                     sheet.text(Field::CompanyNumber), sheet.text(Field::IssuingUnit));
    const Result<> written = writeTextFile(iniPath, text, fileSystem);
    if (written)
        return written;
    qCWarning(settingsLog, "the settings were not saved: %s cannot be written: %s",
              qUtf8Printable(iniPath), qUtf8Printable(written.error()));
    return Result<>::failure(
        u"设置没有保存，无法写入文件：%1"_s.arg(QDir::toNativeSeparators(iniPath)));
}

} // namespace itinerary
