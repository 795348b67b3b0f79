#include "CliInput.h"

#include "base/TextEncoding.h"

#include <QFile>

namespace itinerary::cli {

Result<QString> readInputText(const QString &path) {
    QFile file;
    const bool fromStdin = path.isEmpty() || path == QLatin1String("-");
    const bool opened = fromStdin ? file.open(stdin, QIODevice::ReadOnly)
                                  : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        return Result<QString>::failure(
            QStringLiteral("cannot read %1: %2")
                .arg(fromStdin ? QStringLiteral("standard input") : path, file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Result<QString>::failure(
            QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return decodeUtf8OrGb18030(bytes);
}

} // namespace itinerary::cli
