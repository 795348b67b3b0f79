#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace itinerary {

// The file operations behind the settings file, as an interface so that tests can make any
// single step fail. A save replaces a file in steps (a new temporary file beside the target,
// its bytes written, flushed to the disk, renamed over the target), so that the target holds
// either its old or its new complete content whatever step fails or whenever the process dies.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual bool exists(const QString &path) const = 0;
    // The whole content; nothing when the file cannot be opened or read.
    virtual std::optional<QByteArray> read(const QString &path) const = 0;

    // Creates `directory` with any missing parents; true when it exists afterwards.
    virtual bool makeDirectories(const QString &directory) = 0;
    // Creates a new empty file with a unique name in the directory of `target` and returns
    // its path; empty when none can be created.
    virtual QString createTemporary(const QString &target) = 0;
    // Replaces the content of the file at `path` with all of `bytes`.
    virtual bool write(const QString &path, const QByteArray &bytes) = 0;
    // Forces the content of the file at `path` to stable storage.
    virtual bool flush(const QString &path) = 0;
    // Puts `from` in the place of `to` in one step; on failure `to` is untouched.
    virtual bool rename(const QString &from, const QString &to) = 0;
    virtual void remove(const QString &path) = 0;
};

} // namespace itinerary
