#pragma once

#include "base/Result.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace itinerary {

// The file operations behind the settings and the agency's files, as an interface so that
// tests can make a read or a save fail.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual bool exists(const QString &path) const = 0;
    // The whole content; nothing when the file cannot be opened or read.
    virtual std::optional<QByteArray> read(const QString &path) const = 0;
    // Replaces the content of the file at `path` with all of `bytes`, creating its folder
    // when missing. The file holds its old or its new complete content whatever fails and
    // whenever the process dies; an existing file keeps its permissions. On failure, why.
    virtual Result<> replace(const QString &path, const QByteArray &bytes) = 0;
};

} // namespace itinerary
