#pragma once

#include <QString>
#include <QTemporaryFile>

namespace itinerary {

// A file that holds passengers' data (a PDF copy, a CSV export), written as QSaveFile
// writes (a new file beside it, synced and renamed over it once complete, so the old
// content stays until then) but readable and writable by its owner only from the moment it
// exists: mode 0600 whatever the umask, also when it replaces a file others could read.
// Uncommitted, the new file is removed.
class OwnerOnlySaveFile final {
public:
    explicit OwnerOnlySaveFile(const QString &path);
    OwnerOnlySaveFile(const OwnerOnlySaveFile &) = delete;
    OwnerOnlySaveFile &operator=(const OwnerOnlySaveFile &) = delete;

    bool open();
    // Where the content goes between open() and commit().
    QIODevice &device() { return m_file; }
    // Writes all of `bytes`; after a failure, commit() fails too.
    bool write(const QByteArray &bytes);
    // Syncs the new file and puts it in the place of the old one.
    bool commit();
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QTemporaryFile m_file;
    QString m_error;
    bool m_writeFailed = false;
};

} // namespace itinerary
