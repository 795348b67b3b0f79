#include "settings/TextFiles.h"

#include "base/FileSystem.h"
#include "base/TextEncoding.h"

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

Result<> writeTextFile(const QString &path, const QString &text, FileSystem &fileSystem) {
    return fileSystem.replace(path, encodeGb18030(text));
}

} // namespace itinerary
