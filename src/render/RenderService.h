#pragma once

#include "http/HttpServer.h"
#include "render/ReceiptLayout.h"
#include "render/ServiceLimits.h"

#include <QHostAddress>
#include <QThreadPool>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <memory>

namespace itinerary {

class ReceiptRenderer;

// The HTTP rendering service:
//   GET /Print/print.asp?l=<flag>&p=<values>&<time-stamp>  ->  200 image/png (the receipt)
//   GET /health                                            ->  200 text/plain "ok"
// Malformed requests get a 4xx with a short text, and so does a print request that does not
// carry exactly the 59 values of the sheet; when too many pictures wait to be drawn, 503. A
// connection has at most maxRendersPerConnection requests worked on at once, and a queued
// picture whose client has gone is not drawn. The sockets are served on the HTTP server's network
// thread; the pictures are drawn on the service's own thread pool, so both cores work and the
// sockets stay responsive. Needs a QGuiApplication (fonts).
class RenderService final {
public:
    explicit RenderService(const ReceiptLayout &layout, const ServiceLimits &limits = {});
    ~RenderService();
    RenderService(const RenderService &) = delete;
    RenderService &operator=(const RenderService &) = delete;

    // Listens on `address`:`port` (port 0 picks a free one). False on failure, with
    // errorString() set.
    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_http.port(); }
    // "http://ADDR:PORT/", the base address the print address is built on.
    QUrl baseUrl() const { return m_http.baseUrl(); }
    QString errorString() const { return m_http.errorString(); }

private:
    void handle(const HttpRequest &request, const HttpResponder &responder);
    void render(const QByteArray &target, const HttpResponder &responder);

    ServiceLimits m_limits;
    std::shared_ptr<const ReceiptRenderer> m_renderer;
    std::atomic<int> m_rendersInFlight{0};
    QThreadPool m_pool;
    HttpServer m_http;
};

} // namespace itinerary
