#pragma once

#include <QLoggingCategory>

namespace itinerary {

// "itinerary.render": the rendering service's start, stop and refusals, and the renderer's
// failures. Debug (one line per answered request) is off unless QT_LOGGING_RULES asks.
Q_DECLARE_LOGGING_CATEGORY(renderLog)

} // namespace itinerary
