#include "textimport/AgencyCodes.h"

#include "base/FileSystem.h"
#include "base/TextEncoding.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace itinerary {

QString agencyCodesPath(const QString &settingsFilePath) {
    return QFileInfo(settingsFilePath).dir().filePath(QLatin1String(AgencyCodesFileName));
}

AgencyCodes loadAgencyCodes(const QString &path, const FileSystem &fileSystem) {
    AgencyCodes agency;
    agency.path = path;
    if (!fileSystem.exists(path))
        return agency;
    const std::optional<QByteArray> bytes = fileSystem.read(path);
    if (!bytes) {
        agency.unreadable = true;
        return agency;
    }
    DecodedText text = decodeText(*bytes);
    agency.codes = parseCodeList(text.text, CodeSource::AgencyFile);
    agency.replacedLines = std::move(text.replacedLines);
    return agency;
}

QString agencyCodesMessage(const AgencyCodes &codes) {
    const QString path = QDir::toNativeSeparators(codes.path);
    if (codes.unreadable)
        return u"代码表文件 %1 无法读取，已忽略"_s.arg(path);
    QStringList told;
    if (!codes.replacedLines.isEmpty())
        told.append(
            u"代码表文件 %1 第%2行有不是UTF-8编码的字节，已替换为“\uFFFD”，请检查这些行"_s.arg(
                path, lineNumbersText(codes.replacedLines)));
    if (!codes.codes.unrecognisedLines.isEmpty())
        told.append(u"代码表文件 %1 第%2行无法识别，已忽略"_s.arg(
            path, lineNumbersText(codes.codes.unrecognisedLines)));
    return told.join(u'\n');
}

} // namespace itinerary
