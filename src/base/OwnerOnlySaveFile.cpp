#include "base/OwnerOnlySaveFile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace itinerary {

// QTemporaryFile creates its file with O_EXCL and mode 0600; QSaveFile's would take the
// umask's mode (0644 on most systems) or the replaced file's.
OwnerOnlySaveFile::OwnerOnlySaveFile(const QString &path)
    : m_path(path)
    , m_file(QFileInfo(path).dir().filePath(u'.' + QFileInfo(path).fileName() +
                                            QStringLiteral(".XXXXXX"))) {}

bool OwnerOnlySaveFile::open() {
    if (m_file.open())
        return true;
    m_error = m_file.errorString();
    return false;
}

bool OwnerOnlySaveFile::write(const QByteArray &bytes) {
    if (m_file.write(bytes) == bytes.size())
        return true;
    m_error = m_file.errorString();
    m_writeFailed = true;
    return false;
}

bool OwnerOnlySaveFile::commit() {
    // A file missing part of its content never takes the old one's place.
    // (also a write through device() that failed, as a PDF writer's).
    if (!m_file.isOpen() || m_writeFailed || m_file.error() != QFileDevice::NoError) {
        if (m_error.isEmpty())
            m_error =
                m_file.isOpen() ? m_file.errorString() : QStringLiteral("the file is not open");
        return false;
    }
    if (!m_file.flush() || ::fsync(m_file.handle()) != 0) {
        m_error = m_file.errorString().isEmpty() ? QString::fromLocal8Bit(std::strerror(errno))
                                                 : m_file.errorString();
        return false;
    }
    const QString written = m_file.fileName();
    m_file.close();
    if (std::rename(QFile::encodeName(written).constData(),
                    QFile::encodeName(m_path).constData()) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_file.setAutoRemove(false);
    return true;
}

} // namespace itinerary
