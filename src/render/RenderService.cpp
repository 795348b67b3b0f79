#include "render/RenderService.h"

#include "render/ReceiptRenderer.h"
#include "render/RenderRequestParser.h"
#include "render/ServiceConnection.h"
#include "render/ServiceTcpServer.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPromise>
#include <QTcpSocket>
#include <QtConcurrent>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

using StatusCode = QHttpServerResponse::StatusCode;

QHttpServerResponse textResponse(const QString &text, StatusCode status) {
    return QHttpServerResponse(QByteArray("text/plain; charset=utf-8"), (text + u'\n').toUtf8(),
                               status);
}

QFuture<QHttpServerResponse> readyFuture(QHttpServerResponse &&response) {
    QPromise<QHttpServerResponse> promise;
    QFuture<QHttpServerResponse> future = promise.future();
    promise.start();
    promise.addResult(std::move(response));
    promise.finish();
    return future;
}

} // namespace

RenderService::RenderService(const ReceiptLayout &layout, const ServiceLimits &limits,
                             QObject *parent)
    : QObject(parent)
    , m_limits(limits)
    , m_renderer(std::make_shared<const ReceiptRenderer>(layout))
    , m_rendersInFlight(std::make_shared<std::atomic<int>>(0)) {
    m_pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));

    // The HTTP server routes by path and method; the connection supplies the raw target.
    m_server.route(u"/Print/print.asp"_s, QHttpServerRequest::Method::Get,
                   [this](const QHttpServerRequest &, QHttpServerResponder &&responder) {
                       ServiceConnection *connection = connectionOf(responder.socket());
                       const std::optional<QByteArray> target =
                           connection ? connection->takeTarget() : std::nullopt;
                       if (target)
                           connection->answerLater(std::move(responder), answer(*target));
                   });
    m_server.route(u"/health"_s, QHttpServerRequest::Method::Get,
                   [this](const QHttpServerRequest &, QHttpServerResponder &&responder) {
                       ServiceConnection *connection = connectionOf(responder.socket());
                       if (connection && connection->takeTarget())
                           connection->answer(std::move(responder),
                                              QHttpServerResponse("text/plain", "ok"));
                   });
    m_server.setMissingHandler(
        [this](const QHttpServerRequest &, QHttpServerResponder &&responder) {
            ServiceConnection *connection = connectionOf(responder.socket());
            if (connection && connection->takeTarget())
                connection->answer(std::move(responder),
                                   textResponse(u"not found"_s, StatusCode::NotFound));
        });

    // The first picture loads the fonts (tens of milliseconds): do it now, off this thread.
    std::shared_ptr<const ReceiptRenderer> renderer = m_renderer;
    m_pool.start([renderer] { renderer->renderPng({u"0"_s}); });
}

RenderService::~RenderService() {
    // The connections let their responders go while the sockets still exist.
    const QList<ServiceConnection *> connections = m_connections.values();
    m_connections.clear();
    qDeleteAll(connections);
    // Renders not started yet are dropped; the pool waits for the running ones.
    m_pool.clear();
}

bool RenderService::listen(const QHostAddress &address, quint16 port) {
    if (m_tcpServer) {
        m_error = u"already listening"_s;
        return false;
    }
    auto *tcpServer = new ServiceTcpServer([this](QTcpSocket *socket) { return accept(socket); });
    if (!tcpServer->listen(address, port)) {
        m_error = u"cannot listen on %1 port %2: %3"_s.arg(address.toString())
                      .arg(port)
                      .arg(tcpServer->errorString());
        delete tcpServer;
        return false;
    }
    m_tcpServer = tcpServer;
    m_address = address;
    m_server.bind(tcpServer);
    return true;
}

quint16 RenderService::port() const {
    return m_tcpServer ? m_tcpServer->serverPort() : 0;
}

QUrl RenderService::baseUrl() const {
    if (!m_tcpServer)
        return QUrl();
    QUrl url;
    url.setScheme(u"http"_s);
    url.setHost(m_address.toString());
    url.setPort(port());
    url.setPath(u"/"_s);
    return url;
}

bool RenderService::accept(QTcpSocket *socket) {
    if (m_connections.size() >= m_limits.maxConnections)
        return false;
    auto *connection = new ServiceConnection(socket, m_limits, this);
    m_connections.insert(socket, connection);
    // Compared before removing: a new socket may already have taken the old one's address.
    connect(connection, &QObject::destroyed, this, [this, socket, connection] {
        if (m_connections.value(socket) == connection)
            m_connections.remove(socket);
    });
    return true;
}

ServiceConnection *RenderService::connectionOf(QTcpSocket *socket) const {
    return m_connections.value(socket, nullptr);
}

QFuture<QHttpServerResponse> RenderService::answer(const QByteArray &target) {
    RenderRequestParse parsed = parseRenderRequestTarget(target);
    if (!parsed.ok)
        return readyFuture(textResponse(parsed.error, StatusCode::BadRequest));
    if (m_rendersInFlight->load() >= m_limits.maxRendersInFlight)
        return readyFuture(textResponse(u"busy, try again"_s, StatusCode::ServiceUnavailable));
    ++*m_rendersInFlight;
    return QtConcurrent::run(&m_pool,
                             [renderer = m_renderer, counter = m_rendersInFlight,
                              values = std::move(parsed.request.values)]() -> QHttpServerResponse {
                                 const QByteArray png = renderer->renderPng(values);
                                 --*counter;
                                 if (png.isEmpty())
                                     return textResponse(u"render failed"_s,
                                                         StatusCode::InternalServerError);
                                 return QHttpServerResponse(QByteArray("image/png"), png);
                             });
}

} // namespace itinerary
