#include "base/Clock.h"

namespace itinerary {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

} // namespace itinerary
