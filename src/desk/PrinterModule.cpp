#include "desk/PrinterModule.h"

#include "BuildConfig.h"
#include "desk/DeskSetup.h"
#include "print/ReceiptPrinterModule.h"

#include <QPluginLoader>

namespace itinerary {

QString printerModuleFile() {
    return DeskSetup::moduleFile(QStringLiteral(ITINERARY_PRINTER_MODULE_NAME));
}

Result<std::unique_ptr<ReceiptPrinter>> loadDefaultPrinter(const QString &path) {
    QPluginLoader loader(path);
    QObject *root = loader.instance();
    auto *module = qobject_cast<ReceiptPrinterModule *>(root);
    if (module == nullptr) {
        return Result<std::unique_ptr<ReceiptPrinter>>::failure(
            root == nullptr ? loader.errorString()
                            : QStringLiteral("%1 is not the printer module").arg(path));
    }
    return module->createDefaultPrinter();
}

} // namespace itinerary
