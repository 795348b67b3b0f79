#include "WireClient.h"

#include <QElapsedTimer>
#include <QTcpSocket>

namespace itinerary::test {

QByteArray WireAnswer::header(const QByteArray &name) const {
    for (const QByteArray &line : headers.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.first(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.sliced(colon + 1).trimmed();
    }
    return QByteArray();
}

struct WireClient::Private {
    QTcpSocket socket;
    QByteArray buffer;
};

WireClient::WireClient(quint16 port, const QHostAddress &from)
    : d(new Private) {
    if (!from.isNull())
        d->socket.bind(from);
    d->socket.connectToHost(QHostAddress::LocalHost, port);
    d->socket.waitForConnected(5000);
}

WireClient::~WireClient() {
    d->socket.abort();
    delete d;
}

bool WireClient::connected() const {
    return d->socket.state() == QAbstractSocket::ConnectedState;
}

bool WireClient::send(const QByteArray &bytes) {
    if (!connected())
        return false;
    d->socket.write(bytes);
    while (d->socket.bytesToWrite() > 0) {
        if (!d->socket.waitForBytesWritten(5000))
            return false;
    }
    return true;
}

WireAnswer WireClient::read(int timeoutMs) {
    WireAnswer answer;
    QElapsedTimer clock;
    clock.start();
    qsizetype headerEnd = -1;
    qsizetype length = 0;
    bool complete = false;
    while (true) {
        if (headerEnd < 0) {
            headerEnd = d->buffer.indexOf("\r\n\r\n");
            if (headerEnd >= 0) {
                answer.headers = d->buffer.first(headerEnd);
                const QList<QByteArray> statusLine = answer.headers.split('\n').first().split(' ');
                answer.status = statusLine.size() > 1 ? statusLine.at(1).toInt() : -1;
                length = answer.header("Content-Length").toLongLong();
            }
        }
        if (headerEnd >= 0 && d->buffer.size() >= headerEnd + 4 + length) {
            answer.body = d->buffer.mid(headerEnd + 4, length);
            d->buffer.remove(0, headerEnd + 4 + length);
            complete = true;
            break;
        }
        if (answer.closedByServer)
            break;
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0)
            break;
        if (!d->socket.waitForReadyRead(std::min(left, 200)) &&
            d->socket.state() != QAbstractSocket::ConnectedState)
            answer.closedByServer = true;
        d->buffer += d->socket.readAll();
    }
    if (!complete)
        answer.status = 0; // cut off, or no answer in time
    if (d->socket.state() != QAbstractSocket::ConnectedState)
        answer.closedByServer = true;
    return answer;
}

bool WireClient::waitForClose(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        if (d->socket.state() != QAbstractSocket::ConnectedState)
            return true;
        d->socket.waitForReadyRead(50);
        d->buffer += d->socket.readAll();
    }
    return d->socket.state() != QAbstractSocket::ConnectedState;
}

WireAnswer exchange(quint16 port, const QByteArray &bytes, int timeoutMs) {
    WireClient client(port);
    client.send(bytes);
    return client.read(timeoutMs);
}

QByteArray getRequest(const QByteArray &target, const QByteArray &extraHeaders) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders + "\r\n";
}

} // namespace itinerary::test
