#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QtGlobal>

// A blocking HTTP client that sends bytes exactly as given, for testing what the rendering
// service does with requests as they arrive on the wire. It needs no event loop, so it may
// run on any thread while the service runs on its own.
namespace itinerary::test {

struct WireAnswer {
    int status = 0; // 0: no answer (cut off)
    QByteArray headers;
    QByteArray body;
    bool closedByServer = false; // the server closed the connection after (or instead of) it
    QByteArray header(const QByteArray &name) const;
};

class WireClient final {
public:
    // Connects to 127.0.0.1:`port`, from the loopback address `from` when one is given.
    explicit WireClient(quint16 port, const QHostAddress &from = {});
    ~WireClient();
    WireClient(const WireClient &) = delete;
    WireClient &operator=(const WireClient &) = delete;

    bool connected() const;
    // Writes bytes; false when the connection is gone.
    bool send(const QByteArray &bytes);
    // Reads one answer (framed by Content-Length), waiting up to `timeoutMs`.
    WireAnswer read(int timeoutMs = 10000);
    // True when the server closes the connection within `timeoutMs`.
    bool waitForClose(int timeoutMs);

private:
    struct Private;
    Private *d;
};

// One request on a fresh connection.
WireAnswer exchange(quint16 port, const QByteArray &bytes, int timeoutMs = 10000);
QByteArray getRequest(const QByteArray &target, const QByteArray &extraHeaders = {});

} // namespace itinerary::test
