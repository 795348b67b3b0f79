#pragma once

#include "http/HttpServer.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace itinerary {

class HttpConnection;

// What the server and its connections share; the connections keep it alive.
struct HttpServerShared {
    HttpLimits limits;
    HttpServer::Handler handler;
    HttpServer::LogCategory category;
    std::atomic<int> connections{0};
    // The open connections, so that stop() can close them; a connection accepted while the
    // server stops closes at once.
    std::mutex mutex;
    std::unordered_map<const HttpConnection *, std::weak_ptr<HttpConnection>> live;
    bool stopping = false;
};

} // namespace itinerary
