#include "render/RenderService.h"

#include "render/ReceiptRenderer.h"
#include "render/RenderLog.h"
#include "render/RenderRequestParser.h"
#include "sheet/FieldMap.h"

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

HttpLimits httpLimits(const ServiceLimits &limits) {
    HttpLimits http = limits;
    http.maxPendingPerConnection =
        std::min(limits.maxPendingPerConnection, limits.maxRendersPerConnection);
    return http;
}

} // namespace

Q_LOGGING_CATEGORY(renderLog, "itinerary.render", QtInfoMsg)

RenderService::RenderService(const ReceiptLayout &layout, const ServiceLimits &limits)
    : m_limits(limits)
    , m_renderer(std::make_shared<const ReceiptRenderer>(layout))
    , m_http(
          httpLimits(limits),
          [this](HttpRequest request, HttpResponder responder) { handle(request, responder); },
          renderLog) {
    m_pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
    // The first picture loads the fonts (tens of milliseconds): do it now, off this thread.
    m_pool.start([renderer = m_renderer] { renderer->renderPng({u"0"_s}); });
}

RenderService::~RenderService() {
    // No request comes in any more; renders not started yet are dropped, the running ones
    // finish before the server that would take their answers goes.
    m_http.stop();
    m_pool.clear();
    m_pool.waitForDone();
}

bool RenderService::listen(const QHostAddress &address, quint16 port) {
    return m_http.listen(address, port);
}

void RenderService::handle(const HttpRequest &request, const HttpResponder &responder) {
    const QByteArray path = request.path();
    if (path == "/Print/print.asp")
        render(request.target, responder);
    else if (path == "/health")
        responder.send(HttpResponse{200, "text/plain", "ok", {}});
    else
        responder.send(HttpResponse::text(404, "not found"));
}

void RenderService::render(const QByteArray &target, const HttpResponder &responder) {
    RenderRequestParse parsed = parseRenderRequestTarget(target);
    if (!parsed.ok) {
        responder.send(HttpResponse::text(400, parsed.error.toUtf8()));
        return;
    }
    // Every value has its place on the form: with one more or one less, each value after it
    // would print in the box of its neighbour. (The answer, and so the log, names the count,
    // never a value.)
    if (parsed.request.values.size() != FieldCount) {
        responder.send(HttpResponse::text(
            400, "bad request: " + QByteArray::number(parsed.request.values.size()) +
                     " values instead of " + QByteArray::number(FieldCount)));
        return;
    }
    if (m_rendersInFlight.load() >= m_limits.maxRendersInFlight) {
        responder.send(HttpResponse::text(503, "busy, try again"));
        return;
    }
    ++m_rendersInFlight;
    m_pool.start([this, responder, values = std::move(parsed.request.values)] {
        // A client that has gone takes no picture: the place goes to the next in the queue.
        if (!responder.connectionOpen()) {
            qCDebug(renderLog, "skipped a receipt: its client has gone");
            --m_rendersInFlight;
            return;
        }
        const QByteArray png = m_renderer->renderPng(values);
        --m_rendersInFlight;
        if (png.isEmpty()) {
            qCWarning(renderLog, "a receipt picture could not be drawn or encoded");
            responder.send(HttpResponse::text(500, "render failed"));
            return;
        }
        responder.send(HttpResponse{200, "image/png", png, {}});
    });
}

} // namespace itinerary
