// The browser engine module: the engine's browser control behind the BrowserEngine interface.
#include "webimport/ui/BrowserEngine.h"
#include "webimport/ui/WebEngineBrowser.h"

#include <QObject>
#include <QQuickWindow>

namespace itinerary {

class WebEnginePlugin final : public QObject, public BrowserEngine {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ItineraryBrowserEngine_iid)
    Q_INTERFACES(itinerary::BrowserEngine)

public:
    std::unique_ptr<BrowserControl> createBrowser(QNetworkCookieJar *sessionJar) override {
        // The pages are never shown: the engine draws them in software and never asks for
        // OpenGL (see the loader).
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        auto browser = std::make_unique<WebEngineBrowser>();
        browser->shareCookiesWith(sessionJar);
        return browser;
    }
};

} // namespace itinerary

#include "WebEnginePlugin.moc"
