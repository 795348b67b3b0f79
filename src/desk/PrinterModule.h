#pragma once

#include "base/Result.h"
#include "print/ReceiptPrinter.h"

#include <QString>

#include <memory>

namespace itinerary {

// The module file of the default printer (Qt's print support), found as DeskSetup finds the
// programs' modules.
QString printerModuleFile();

// The system's default printer from the printer module at `path`, for a program that prints
// without linking the widgets; why not, when the module cannot be loaded. The module stays
// loaded for the rest of the run.
Result<std::unique_ptr<ReceiptPrinter>> loadDefaultPrinter(const QString &path);

} // namespace itinerary
