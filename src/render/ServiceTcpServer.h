#pragma once

#include <QTcpServer>

#include <functional>

class QTcpSocket;

namespace itinerary {

// The listening socket of the rendering service. Each accepted connection is shown to the
// acceptor before the HTTP server sees it, so the service can watch its bytes first, or
// refuse it when too many are open.
class ServiceTcpServer final : public QTcpServer {
    Q_OBJECT

public:
    // Returns false to refuse (close) the connection.
    using Acceptor = std::function<bool(QTcpSocket *socket)>;

    explicit ServiceTcpServer(Acceptor acceptor, QObject *parent = nullptr);

protected:
    void incomingConnection(qintptr handle) override;

private:
    Acceptor m_acceptor;
};

} // namespace itinerary
