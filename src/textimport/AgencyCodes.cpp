#include "textimport/AgencyCodes.h"

#include "base/FileSystem.h"
#include "base/TextEncoding.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {
// A file that is not a code list at all would otherwise fill the screen with numbers.
constexpr qsizetype MostLineNumbersNamed = 10;

QString lineNumbers(const QList<int> &lines) {
    QStringList named;
    for (qsizetype i = 0; i < lines.size() && i < MostLineNumbersNamed; ++i)
        named.append(QString::number(lines[i]));
    QString text = named.join(u"、"_s);
    if (lines.size() > MostLineNumbersNamed)
        text += u"行等共%1"_s.arg(lines.size());
    return text;
}
} // namespace

QString agencyCodesPath(const QString &settingsFilePath) {
    return QFileInfo(settingsFilePath).dir().filePath(QLatin1String(AgencyCodesFileName));
}

AgencyCodes loadAgencyCodes(const QString &path, const FileSystem &fileSystem) {
    AgencyCodes agency;
    agency.path = path;
    if (!fileSystem.exists(path))
        return agency;
    const std::optional<QByteArray> bytes = fileSystem.read(path);
    if (!bytes)
        agency.unreadable = true;
    else
        agency.codes = parseCodeList(decodeUtf8OrGb18030(*bytes), CodeSource::AgencyFile);
    return agency;
}

QString agencyCodesMessage(const AgencyCodes &codes) {
    const QString path = QDir::toNativeSeparators(codes.path);
    if (codes.unreadable)
        return u"代码表文件 %1 无法读取，已忽略"_s.arg(path);
    if (codes.codes.unrecognisedLines.isEmpty())
        return QString();
    return u"代码表文件 %1 第%2行无法识别，已忽略"_s.arg(
        path, lineNumbers(codes.codes.unrecognisedLines));
}

} // namespace itinerary
