#include "ServiceSetup.h"

#include "CliCommand.h"

#include "render/EmbeddedRenderService.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {
const QString LayoutFileName = u"layout.json"_s;
}

std::optional<ReceiptLayout> agencyLayout(const QString &iniPath, const QString &command) {
    const QString layoutPath = QFileInfo(iniPath).dir().filePath(LayoutFileName);
    if (!QFileInfo::exists(layoutPath))
        return ReceiptLayout::defaultLayout();
    QString error;
    std::optional<ReceiptLayout> loaded = ReceiptLayout::fromFile(layoutPath, &error);
    if (!loaded)
        printError(u"%1: %2"_s.arg(command, error));
    return loaded;
}

QString startEmbeddedService(std::unique_ptr<EmbeddedRenderService> &service,
                             const ReceiptLayout &layout, const QString &command) {
    service = std::make_unique<EmbeddedRenderService>(layout);
    const QUrl base = service->start();
    if (base.isEmpty()) {
        printError(
            u"%1: the rendering service did not start: %2"_s.arg(command, service->errorString()));
        return QString();
    }
    return base.toString();
}

} // namespace itinerary::cli
