#include "print/PrintLog.h"

namespace itinerary {

Q_LOGGING_CATEGORY(printLog, "itinerary.print", QtInfoMsg)
Q_LOGGING_CATEGORY(settingsLog, "itinerary.settings", QtInfoMsg)

} // namespace itinerary
