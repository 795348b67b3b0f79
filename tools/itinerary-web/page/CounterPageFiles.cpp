#include "CounterPageFiles.h"

#include <QFile>
#include <QString>

namespace itinerary::web {

namespace {

QByteArray contentTypeOf(QByteArrayView name) {
    if (name.endsWith(".html"))
        return "text/html; charset=utf-8";
    if (name.endsWith(".css"))
        return "text/css; charset=utf-8";
    if (name.endsWith(".js"))
        return "text/javascript; charset=utf-8";
    return QByteArray();
}

} // namespace

std::optional<PageFile> counterPageFile(QByteArrayView path) {
    if (!path.startsWith('/'))
        return std::nullopt;
    QByteArrayView name = path.sliced(1);
    if (name.isEmpty())
        name = "index.html";
    if (name.contains('/') || name.contains('\\') || name.startsWith('.'))
        return std::nullopt;
    const QByteArray contentType = contentTypeOf(name);
    if (contentType.isEmpty())
        return std::nullopt;
    QFile file(QStringLiteral(":/itinerary/web/page/") + QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return PageFile{file.readAll(), contentType};
}

} // namespace itinerary::web
