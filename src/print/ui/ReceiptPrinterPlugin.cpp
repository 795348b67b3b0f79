// The printer module's entry: Qt's print support on the system's default printer.
#include "print/ReceiptPrinterModule.h"
#include "print/ui/QtReceiptPrinter.h"

#include <QObject>

namespace itinerary {

class ReceiptPrinterPlugin final : public QObject, public ReceiptPrinterModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ItineraryReceiptPrinterModule_iid)
    Q_INTERFACES(itinerary::ReceiptPrinterModule)

public:
    std::unique_ptr<ReceiptPrinter> createDefaultPrinter() override {
        return std::make_unique<QtReceiptPrinter>();
    }
};

} // namespace itinerary

#include "ReceiptPrinterPlugin.moc"
