#include "render/ServiceTcpServer.h"

#include <QTcpSocket>

namespace itinerary {

ServiceTcpServer::ServiceTcpServer(Acceptor acceptor, QObject *parent)
    : QTcpServer(parent)
    , m_acceptor(std::move(acceptor)) {}

void ServiceTcpServer::incomingConnection(qintptr handle) {
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    // Each answer is one write; waiting for the client's delayed acknowledgement would add
    // tens of milliseconds to a request.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (!m_acceptor(socket)) {
        socket->abort();
        delete socket;
        return;
    }
    addPendingConnection(socket);
}

} // namespace itinerary
