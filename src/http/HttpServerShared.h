#pragma once

#include "http/HttpServer.h"
#include "http/RefusalLog.h"

#include <QByteArray>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace itinerary {

class HttpConnection;

// What the server and its connections share; the connections keep it alive.
struct HttpServerShared {
    HttpLimits limits;
    HttpServer::Handler handler;
    HttpServer::LogCategory category;
    HttpHeaders everyAnswerHeaders;
    RefusalLog refusals{std::chrono::seconds(10)};

    // Takes a connection slot for a client at `address` (its IP address, without the port):
    // nothing when it may connect, otherwise why not.
    std::optional<QByteArray> admitConnection(const std::string &address);
    // Gives the slot back, once the connection has closed.
    void releaseConnection(const std::string &address);
    // Logs `line` (a warning) about a refusal of the client at `address`, unless that
    // address had a line less than the refusal log's window ago.
    void logRefusal(const std::string &address, const QByteArray &line);

    // The open connections, so that stop() can close them; a connection accepted while the
    // server stops closes at once.
    std::mutex mutex;
    std::unordered_map<const HttpConnection *, std::weak_ptr<HttpConnection>> live;
    bool stopping = false;

private:
    int m_open = 0;
    std::unordered_map<std::string, int> m_openByAddress;
};

} // namespace itinerary
