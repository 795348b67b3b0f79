#pragma once

#include <QLoggingCategory>

namespace itinerary::web {
// The web counter's log: its start and stop, logins, logouts, lock-outs and refusals (user
// and address, never a password or a passenger), failures of the database or the printer.
Q_DECLARE_LOGGING_CATEGORY(webLog)
} // namespace itinerary::web
