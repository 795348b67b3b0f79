#pragma once

class QCoreApplication;

namespace itinerary {

// SIGINT and SIGTERM end `app`'s event loop, so that a service stops cleanly (and logs its
// stop) when systemd or the operator stops it. Call once, after the application object exists.
void quitOnStopSignals(QCoreApplication &app);

} // namespace itinerary
