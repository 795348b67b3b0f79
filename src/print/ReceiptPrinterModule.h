#pragma once

#include "print/ReceiptPrinter.h"

#include <QtPlugin>

#include <memory>

namespace itinerary {

// The module that holds the default printer (Qt's print support, which brings the widgets
// with it), loaded at run time by the programs that print but draw no window: they link
// neither.
class ReceiptPrinterModule {
public:
    virtual ~ReceiptPrinterModule() = default;
    // The system's default printer, as the window prints on it.
    virtual std::unique_ptr<ReceiptPrinter> createDefaultPrinter() = 0;
};

} // namespace itinerary

#define ItineraryReceiptPrinterModule_iid "itinerary.ReceiptPrinterModule/1"
Q_DECLARE_INTERFACE(itinerary::ReceiptPrinterModule, ItineraryReceiptPrinterModule_iid)
