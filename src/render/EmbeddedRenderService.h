#pragma once

#include "render/ReceiptLayout.h"
#include "render/ServiceLimits.h"

#include <QString>
#include <QUrl>

#include <memory>

namespace itinerary {

class RenderService;

// The rendering service inside the application: on 127.0.0.1 with a free port, served from
// its own threads, so that drawing a receipt never holds up the window that asked for it.
// Start it after the QGuiApplication exists and stop it (or destroy this) before the
// application object goes.
class EmbeddedRenderService final {
public:
    explicit EmbeddedRenderService(ReceiptLayout layout = ReceiptLayout::defaultLayout(),
                                   ServiceLimits limits = {});
    ~EmbeddedRenderService();
    EmbeddedRenderService(const EmbeddedRenderService &) = delete;
    EmbeddedRenderService &operator=(const EmbeddedRenderService &) = delete;

    // Starts the service (once; later calls return the same address) and returns its base
    // address, "http://127.0.0.1:PORT/". Empty on failure, with errorString() set.
    QUrl start();
    // Stops the service; requests under way are dropped. Safe to call when not running.
    void stop();

    bool isRunning() const { return m_service != nullptr; }
    QUrl baseUrl() const { return m_baseUrl; }
    QString errorString() const { return m_error; }
    // The layout the service draws its receipts with.
    const ReceiptLayout &layout() const { return m_layout; }

private:
    ReceiptLayout m_layout;
    ServiceLimits m_limits;
    std::unique_ptr<RenderService> m_service;
    QUrl m_baseUrl;
    QString m_error;
};

} // namespace itinerary
