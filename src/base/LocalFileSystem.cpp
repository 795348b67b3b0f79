#include "base/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace itinerary {

bool LocalFileSystem::exists(const QString &path) const {
    return !path.isEmpty() && QFileInfo::exists(path);
}

std::optional<QByteArray> LocalFileSystem::read(const QString &path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

Result<> LocalFileSystem::replace(const QString &path, const QByteArray &bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Result<>::failure(QStringLiteral("cannot create the folder of %1").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Result<>::failure(file.errorString());
    return succeeded();
}

} // namespace itinerary
