#pragma once

#include <QString>

namespace itinerary {

class BrowserEngine;

// Loads the browser engine module at `path`. The engine stays loaded for the rest of the
// process (it cannot be unloaded); loading it again returns the same engine. Null when the
// module cannot be loaded or is not the engine, with the reason in `error`.
BrowserEngine *loadBrowserEngine(const QString &path, QString *error);

} // namespace itinerary
