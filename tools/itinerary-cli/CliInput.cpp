#include "CliInput.h"

#include "base/TextEncoding.h"

#include <QFile>

namespace itinerary::cli {

std::optional<QString> readInputText(const QString &path, QString *error) {
    QFile file;
    const bool fromStdin = path.isEmpty() || path == QLatin1String("-");
    const bool opened = fromStdin ? file.open(stdin, QIODevice::ReadOnly)
                                  : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        if (error)
            *error =
                QStringLiteral("cannot read %1: %2")
                    .arg(fromStdin ? QStringLiteral("standard input") : path, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return decodeUtf8OrGb18030(bytes);
}

} // namespace itinerary::cli
