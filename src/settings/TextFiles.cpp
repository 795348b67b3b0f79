#include "settings/TextFiles.h"

#include "base/TextEncoding.h"
#include "settings/FileSystem.h"

#include <QFileInfo>

namespace itinerary {

bool pathExists(const QString &path, const FileSystem &fileSystem) {
    return fileSystem.exists(path);
}

std::optional<QString> readTextFile(const QString &path, const FileSystem &fileSystem) {
    const std::optional<QByteArray> bytes = fileSystem.read(path);
    if (!bytes)
        return std::nullopt;
    return decodeUtf8OrGb18030(*bytes);
}

bool writeTextFile(const QString &path, const QString &text, FileSystem &fileSystem) {
    if (!fileSystem.makeDirectories(QFileInfo(path).absolutePath()))
        return false;
    const QString temporary = fileSystem.createTemporary(path);
    if (temporary.isEmpty())
        return false;
    if (fileSystem.write(temporary, encodeGb18030(text)) && fileSystem.flush(temporary) &&
        fileSystem.rename(temporary, path)) {
        return true;
    }
    fileSystem.remove(temporary);
    return false;
}

} // namespace itinerary
