#pragma once

#include "settings/FileSystem.h"

namespace itinerary {

// The real file system (POSIX): the flush is fsync, the rename replaces the target
// atomically, and a new file takes the permissions of the file it is going to replace.
class LocalFileSystem final : public FileSystem {
public:
    bool exists(const QString &path) const override;
    std::optional<QByteArray> read(const QString &path) const override;
    bool makeDirectories(const QString &directory) override;
    QString createTemporary(const QString &target) override;
    bool write(const QString &path, const QByteArray &bytes) override;
    bool flush(const QString &path) override;
    bool rename(const QString &from, const QString &to) override;
    void remove(const QString &path) override;
};

} // namespace itinerary
