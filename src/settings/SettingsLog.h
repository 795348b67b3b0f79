#pragma once

#include <QLoggingCategory>

namespace itinerary {

// "itinerary.settings": why the settings file could not be read or saved.
Q_DECLARE_LOGGING_CATEGORY(settingsLog)

} // namespace itinerary
