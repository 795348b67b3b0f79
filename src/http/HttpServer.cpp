#include "http/HttpServer.h"

#include "http/HttpConnection.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>

#include <future>
#include <thread>
#include <vector>

namespace asio = boost::asio;
using asio::ip::tcp;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace itinerary {

namespace {

// How long stop() lets the connections close before it stops the network thread hard.
constexpr auto StopGrace = 5s;
// After a failed accept (out of file descriptors, say) the next one waits this long.
constexpr auto AcceptRetry = 100ms;

std::optional<tcp::endpoint> endpointOf(const QHostAddress &address, quint16 port) {
    if (address == QHostAddress(QHostAddress::Any))
        return tcp::endpoint(asio::ip::address_v6::any(), port);
    boost::system::error_code ec;
    const asio::ip::address parsed = asio::ip::make_address(address.toString().toStdString(), ec);
    if (ec)
        return std::nullopt;
    return tcp::endpoint(parsed, port);
}

} // namespace

struct HttpServer::Private {
    std::shared_ptr<HttpServerShared> shared = std::make_shared<HttpServerShared>();
    // Declared first, destroyed last: destroying it destroys the connections still held by
    // its handlers, and they need the rest of this object no more.
    asio::io_context context{1};
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work;
    tcp::acceptor acceptor{asio::make_strand(context)};
    asio::steady_timer retry{acceptor.get_executor()};
    // Tells, once a client's refusal window has passed, how many of its refusals got no line.
    asio::steady_timer refusalCounts{acceptor.get_executor()};
    std::thread thread;
    std::future<void> finished;
    QHostAddress address;
    quint16 port = 0;
    QString error;
    bool stopped = false;

    void accept();
    void accepted(tcp::socket socket, bool secondLook);
    void tellRefusalCounts(bool everything);
    void watchRefusalCounts();
};

void HttpServer::Private::accept() {
    acceptor.async_accept(
        asio::make_strand(context), [this](boost::system::error_code ec, tcp::socket socket) {
            if (!acceptor.is_open())
                return;
            if (ec) {
                qCWarning(shared->category, "cannot accept a connection: %s", ec.message().c_str());
                retry.expires_after(AcceptRetry);
                retry.async_wait([this](boost::system::error_code waitError) {
                    if (!waitError && acceptor.is_open())
                        accept();
                });
                return;
            }
            accepted(std::move(socket), false);
            accept();
        });
}

void HttpServer::Private::accepted(tcp::socket socket, bool secondLook) {
    std::string host = peerHost(socket);
    if (const std::optional<QByteArray> refusal = shared->admitConnection(host)) {
        if (!secondLook) {
            // A client that closes a connection and opens the next at once may be seen
            // connecting before its close has been read: look again once the events already
            // due have been handled.
            asio::post(acceptor.get_executor(), [this, socket = std::move(socket)]() mutable {
                if (acceptor.is_open())
                    accepted(std::move(socket), true);
            });
            return;
        }
        shared->logRefusal(host, "cut off " + peerAddress(socket).toUtf8() + ": " + *refusal);
        boost::system::error_code ignored;
        socket.close(ignored);
        return;
    }
    std::make_shared<HttpConnection>(std::move(socket), shared, std::move(host))->start();
}

void HttpServer::Private::tellRefusalCounts(bool everything) {
    for (const auto &[host, untold] : shared->refusals.expire(RefusalLog::Clock::now(), everything))
        qCWarning(shared->category, "%s: %lld more refusals since its previous line", host.c_str(),
                  qlonglong(untold));
}

void HttpServer::Private::watchRefusalCounts() {
    refusalCounts.expires_after(shared->refusals.window());
    refusalCounts.async_wait([this](boost::system::error_code ec) {
        if (ec || !acceptor.is_open())
            return;
        tellRefusalCounts(false);
        watchRefusalCounts();
    });
}

HttpServer::HttpServer(const HttpLimits &limits, Handler handler, LogCategory category)
    : d(std::make_unique<Private>()) {
    d->shared->limits = limits;
    d->shared->handler = std::move(handler);
    d->shared->category = category;
}

HttpServer::~HttpServer() {
    stop();
}

void HttpServer::setEveryAnswerHeaders(const HttpHeaders &headers) {
    d->shared->everyAnswerHeaders = headers;
}

bool HttpServer::listen(const QHostAddress &address, quint16 port) {
    if (d->thread.joinable() || d->stopped) {
        d->error = u"already listening"_s;
        return false;
    }
    const auto fail = [&](const QString &reason) {
        d->error =
            u"cannot listen on %1 port %2: %3"_s.arg(address.toString()).arg(port).arg(reason);
        qCCritical(d->shared->category, "listen failed: %s", qUtf8Printable(d->error));
        boost::system::error_code ignored;
        d->acceptor.close(ignored);
        return false;
    };
    const std::optional<tcp::endpoint> endpoint = endpointOf(address, port);
    if (!endpoint)
        return fail(u"not an address"_s);
    boost::system::error_code ec;
    d->acceptor.open(endpoint->protocol(), ec);
    if (!ec && endpoint->address().is_v6())
        d->acceptor.set_option(asio::ip::v6_only(!endpoint->address().is_unspecified()), ec);
    if (!ec)
        d->acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
    if (!ec)
        d->acceptor.bind(*endpoint, ec);
    if (!ec)
        d->acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec)
        return fail(QString::fromStdString(ec.message()));

    d->address = address;
    d->port = d->acceptor.local_endpoint(ec).port();
    d->work.emplace(d->context.get_executor());
    std::promise<void> finished;
    d->finished = finished.get_future();
    d->thread = std::thread([this, finished = std::move(finished)]() mutable {
        d->context.run();
        finished.set_value();
    });
    asio::post(d->acceptor.get_executor(), [this] {
        d->accept();
        d->watchRefusalCounts();
    });
    qCInfo(d->shared->category, "listening on %s", baseUrl().toEncoded().constData());
    return true;
}

void HttpServer::stop() {
    if (!d->thread.joinable())
        return;
    d->stopped = true;
    asio::post(d->acceptor.get_executor(), [this] {
        boost::system::error_code ignored;
        d->acceptor.close(ignored);
        d->retry.cancel();
        d->refusalCounts.cancel();
    });
    std::vector<std::shared_ptr<HttpConnection>> open;
    {
        const std::lock_guard lock(d->shared->mutex);
        d->shared->stopping = true;
        for (const auto &[key, connection] : d->shared->live) {
            if (std::shared_ptr<HttpConnection> alive = connection.lock())
                open.push_back(std::move(alive));
        }
    }
    // Outside the lock: the last reference to a connection may go here, and its destructor
    // takes the lock.
    for (const std::shared_ptr<HttpConnection> &connection : open)
        connection->closeFromAnyThread();
    open.clear();
    // The network thread ends by itself once every connection has closed.
    d->work.reset();
    if (d->finished.wait_for(StopGrace) != std::future_status::ready)
        d->context.stop();
    d->thread.join();
    d->tellRefusalCounts(true);
    qCInfo(d->shared->category, "stopped listening on %s", baseUrl().toEncoded().constData());
    d->port = 0;
}

bool HttpServer::isListening() const {
    return d->thread.joinable();
}

quint16 HttpServer::port() const {
    return d->port;
}

QHostAddress HttpServer::address() const {
    return d->address;
}

QUrl HttpServer::baseUrl() const {
    if (d->port == 0)
        return QUrl();
    QUrl url;
    url.setScheme(u"http"_s);
    url.setHost(d->address.toString());
    url.setPort(d->port);
    url.setPath(u"/"_s);
    return url;
}

QString HttpServer::errorString() const {
    return d->error;
}

} // namespace itinerary
