#pragma once

#include "base/FileSystem.h"

namespace itinerary {

// The real file system. A file is replaced through QSaveFile: a new file beside it is
// written, synced to the disk and renamed over it in one step.
class LocalFileSystem final : public FileSystem {
public:
    bool exists(const QString &path) const override;
    std::optional<QByteArray> read(const QString &path) const override;
    Result<> replace(const QString &path, const QByteArray &bytes) override;
};

} // namespace itinerary
