#pragma once

#include <QLoggingCategory>

namespace itinerary {

// "itinerary.print": why a receipt picture could not be loaded or printed.
Q_DECLARE_LOGGING_CATEGORY(printLog)

} // namespace itinerary
