#pragma once

#include <QString>

#include <optional>

namespace itinerary {

class FileSystem;

// The settings file's three file helpers, each taking a full path.

bool pathExists(const QString &path, const FileSystem &fileSystem);

// The whole file as text: UTF-8 when the bytes are valid UTF-8, GB18030 (and so GBK)
// otherwise. Nothing when the file cannot be read.
std::optional<QString> readTextFile(const QString &path, const FileSystem &fileSystem);

// Replaces the file with `text` in GB18030, with no line break added, atomically: a
// temporary file beside it is written, flushed and renamed over it. The directory is created
// when missing. False when any step fails; the file then keeps its old content and no
// temporary file is left behind.
bool writeTextFile(const QString &path, const QString &text, FileSystem &fileSystem);

} // namespace itinerary
