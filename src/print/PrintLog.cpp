#include "print/PrintLog.h"

namespace itinerary {

Q_LOGGING_CATEGORY(printLog, "itinerary.print", QtInfoMsg)

} // namespace itinerary
