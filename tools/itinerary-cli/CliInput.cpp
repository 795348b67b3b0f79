#include "CliInput.h"

#include "CliCommand.h"

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
    DecodedText text = decodeText(bytes);
    // Read as UTF-8 all the same: the operator checks these lines before anything prints.
    for (const int line : std::as_const(text.replacedLines))
        printError(QStringLiteral("%1:%2: bytes that are not UTF-8, replaced by U+FFFD")
                       .arg(fromStdin ? QStringLiteral("standard input") : path)
                       .arg(line));
    return std::move(text.text);
}

} // namespace itinerary::cli
