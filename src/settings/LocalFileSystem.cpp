#include "settings/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace itinerary {

namespace {
// Makes a finished rename survive a power cut as well; a failure here loses nothing that
// the rename did not already guarantee, so it is not reported.
void syncDirectoryOf(const QString &path) {
    const QByteArray directory = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
} // namespace

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

bool LocalFileSystem::makeDirectories(const QString &directory) {
    return QDir().mkpath(directory);
}

QString LocalFileSystem::createTemporary(const QString &target) {
    const QFileInfo info(target);
    QTemporaryFile file(info.absolutePath() + QLatin1Char('/') + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        return QString();
    // The temporary file becomes the target: give it the target's permissions, or the usual
    // ones of a new file, instead of the owner-only ones of a temporary file.
    const QFileDevice::Permissions permissions =
        info.exists()
            ? QFile::permissions(target)
            : QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                  QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    file.setPermissions(permissions);
    return file.fileName();
}

bool LocalFileSystem::write(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (file.write(bytes) != bytes.size() || !file.flush())
        return false;
    file.close();
    return file.error() == QFileDevice::NoError;
}

bool LocalFileSystem::flush(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

bool LocalFileSystem::rename(const QString &from, const QString &to) {
    // rename(2) replaces an existing target in one step; QFile::rename refuses to.
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return false;
    syncDirectoryOf(to);
    return true;
}

void LocalFileSystem::remove(const QString &path) {
    QFile::remove(path);
}

} // namespace itinerary
