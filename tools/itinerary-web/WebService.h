#pragma once

#include "ApiCall.h"

#include "http/HttpServer.h"

#include <QHostAddress>
#include <QThreadPool>
#include <QUrl>

#include <atomic>

namespace itinerary::web {

// The largest request body the API takes; a larger one is answered 413.
inline constexpr qsizetype MaxApiBodyBytes = 256 * 1024;

// The web counter's HTTP service: the API of docs/WEB-API.md on the project's HTTP server.
// It keeps nothing between requests: the sheet comes with each request and everything
// shared (users, sessions, counters, check codes, login failures, journal rows) is in the
// database, so that any number of instances can answer any request. Requests are answered
// on a pool of threads, each with its own database connection. Needs a QGuiApplication
// (fonts).
class WebService final {
public:
    WebService(const CounterCore &core, const DatabaseAddress &database, const WebPolicy &policy);
    ~WebService();
    WebService(const WebService &) = delete;
    WebService &operator=(const WebService &) = delete;

    bool listen(const QHostAddress &address, quint16 port);
    QUrl baseUrl() const { return m_http.baseUrl(); }
    QString errorString() const { return m_http.errorString(); }

private:
    void handle(const HttpRequest &request, const HttpResponder &responder);
    HttpResponse answer(const HttpRequest &request);
    HttpResponse run(const Endpoint &endpoint, ApiCall &call);
    void checkSession(const Endpoint &endpoint, ApiCall &call);

    WebContext m_context;
    QList<Endpoint> m_endpoints;
    std::atomic<int> m_waiting{0};
    QThreadPool m_pool;
    HttpServer m_http;
};

} // namespace itinerary::web
