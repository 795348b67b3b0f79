#include "settings/SettingsLog.h"

namespace itinerary {

Q_LOGGING_CATEGORY(settingsLog, "itinerary.settings", QtInfoMsg)

} // namespace itinerary
