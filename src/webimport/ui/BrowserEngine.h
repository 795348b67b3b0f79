#pragma once

#include <QtPlugin>

#include <memory>

class QNetworkCookieJar;
class QObject;

namespace itinerary {

class BrowserControl;

// The browser engine, in a module of its own that the window loads when it first needs the
// verification site: the engine's libraries are large, and linking them into the program
// would hold up every start before the window could be painted.
class BrowserEngine {
public:
    virtual ~BrowserEngine() = default;

    // A new browser control that drives pages nobody sees, with a profile of its own, off the
    // record. The page's cookies are copied into `sessionJar` as they arrive and as they go,
    // HttpOnly ones included, so that requests made through that jar (the captcha picture)
    // carry the page's session.
    virtual std::unique_ptr<BrowserControl> createBrowser(QNetworkCookieJar *sessionJar) = 0;
};

} // namespace itinerary

#define ItineraryBrowserEngine_iid "org.itinerary.BrowserEngine/1.0"
Q_DECLARE_INTERFACE(itinerary::BrowserEngine, ItineraryBrowserEngine_iid)
