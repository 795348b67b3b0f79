#pragma once

#include "base/Result.h"

#include <QString>

#include <optional>

namespace itinerary {

class FileSystem;

// The settings file's three file helpers, each taking a full path.

bool pathExists(const QString &path, const FileSystem &fileSystem);

// The whole file as text: UTF-8 when the bytes are valid UTF-8, GB18030 (and so GBK)
// otherwise. Nothing when the file cannot be read.
std::optional<QString> readTextFile(const QString &path, const FileSystem &fileSystem);

// Replaces the file with `text` in GB18030, with no line break added, in one step (see
// FileSystem::replace); the folder is created when missing. On failure the file keeps its
// old content, and the result says why.
Result<> writeTextFile(const QString &path, const QString &text, FileSystem &fileSystem);

} // namespace itinerary
