#pragma once

#include "base/Result.h"

#include <QString>

namespace itinerary {

class BrowserEngine;

// Loads the browser engine module at `path`. The engine stays loaded for the rest of the
// process (it cannot be unloaded); loading it again returns the same engine. Why not, when
// the module cannot be loaded or is not the engine.
Result<BrowserEngine *> loadBrowserEngine(const QString &path);

} // namespace itinerary
