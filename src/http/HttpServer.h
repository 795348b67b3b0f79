#pragma once

#include "http/HttpLimits.h"
#include "http/HttpMessage.h"
#include "http/HttpResponder.h"

#include <QHostAddress>
#include <QLoggingCategory>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

namespace itinerary {

// A small HTTP/1.1 server on its own network thread: one parser per request with the limits
// of HttpLimits, the raw request target, deadlines on each connection, caps on the
// connections (in all and per client address), pipelined answers in request order (a client
// that pipelines more requests than allowed waits until answers have gone). Malformed or
// oversized requests are answered 4xx by the server itself. The handler runs on the network
// thread and must not block it: it answers through the responder at once or later, from any
// thread.
//
// It logs to the owner's category: the listen address and the stop (info), refused requests
// and cut-off clients with their address (warning; at most one line per client address in 10
// seconds, the refusals meanwhile counted), one line per answered request (debug, off unless
// asked for with QT_LOGGING_RULES).
class HttpServer final {
public:
    using Handler = std::function<void(HttpRequest request, HttpResponder responder)>;
    // What Q_LOGGING_CATEGORY defines.
    using LogCategory = const QLoggingCategory &(*)();

    HttpServer(const HttpLimits &limits, Handler handler, LogCategory category);
    // Stops, if not stopped yet. Whoever may still call a responder's send() from another
    // thread must have finished doing so before the server is destroyed.
    ~HttpServer();
    HttpServer(const HttpServer &) = delete;
    HttpServer &operator=(const HttpServer &) = delete;

    // Headers that every answer carries, the server's own refusals included, unless the
    // answer sets the same header itself: a service's caching and content policy, say. Set
    // before listen().
    void setEveryAnswerHeaders(const HttpHeaders &headers);

    // Listens on `address`:`port` (port 0 picks a free one) and starts serving; once per
    // server. False on failure, with errorString() set.
    bool listen(const QHostAddress &address, quint16 port);
    // Closes the port and every connection; answers still being made are dropped.
    void stop();

    bool isListening() const;
    quint16 port() const;
    QHostAddress address() const;
    // "http://ADDR:PORT/"; empty when not listening.
    QUrl baseUrl() const;
    QString errorString() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace itinerary
