#pragma once

#include <QLoggingCategory>

namespace itinerary {

// "itinerary.print": why a receipt picture could not be loaded or printed.
Q_DECLARE_LOGGING_CATEGORY(printLog)
// "itinerary.settings": why the settings file could not be read or saved.
Q_DECLARE_LOGGING_CATEGORY(settingsLog)

} // namespace itinerary
