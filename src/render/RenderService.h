#pragma once

#include "render/ReceiptLayout.h"
#include "render/ServiceLimits.h"

#include <QFuture>
#include <QHash>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QObject>
#include <QThreadPool>
#include <QUrl>

#include <atomic>
#include <memory>

class QTcpSocket;

namespace itinerary {

class ReceiptRenderer;
class ServiceConnection;
class ServiceTcpServer;

// The HTTP rendering service:
//   GET /Print/print.asp?l=<flag>&p=<values>&<time-stamp>  ->  200 image/png (the receipt)
//   GET /health                                            ->  200 text/plain "ok"
// Malformed requests get a 4xx with a short text. The sockets are served on the thread of
// this object; the pictures are drawn on the service's own thread pool, so both cores work
// and the sockets stay responsive. Needs a QGuiApplication (fonts).
class RenderService final : public QObject {
    Q_OBJECT

public:
    explicit RenderService(const ReceiptLayout &layout, const ServiceLimits &limits = {},
                           QObject *parent = nullptr);
    ~RenderService() override;

    // Listens on `address`:`port` (port 0 picks a free one). False on failure, with
    // errorString() set.
    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const;
    // "http://ADDR:PORT/", the base address the print address is built on.
    QUrl baseUrl() const;
    QString errorString() const { return m_error; }
    int connectionCount() const { return int(m_connections.size()); }

    // The answer to the raw request target of one print request.
    QFuture<QHttpServerResponse> answer(const QByteArray &target);

private:
    bool accept(QTcpSocket *socket);
    ServiceConnection *connectionOf(QTcpSocket *socket) const;

    ServiceLimits m_limits;
    std::shared_ptr<const ReceiptRenderer> m_renderer;
    std::shared_ptr<std::atomic<int>> m_rendersInFlight;
    // Destroyed after the server below: its destructor waits for the renders still running.
    QThreadPool m_pool;
    QHttpServer m_server;
    ServiceTcpServer *m_tcpServer = nullptr; // owned by m_server once bound
    QHash<QTcpSocket *, ServiceConnection *> m_connections;
    QHostAddress m_address;
    QString m_error;
};

} // namespace itinerary
