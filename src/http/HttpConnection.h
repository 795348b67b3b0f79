#pragma once

#include "http/HttpRefusal.h"
#include "http/HttpRequestParser.h"
#include "http/HttpServerShared.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/span_body.hpp>

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <string>

namespace itinerary {

// "ADDR:PORT" of the client on `socket`, for the log.
QString peerAddress(const boost::asio::ip::tcp::socket &socket);
// The client's IP address alone, the key of the per-address limits.
std::string peerHost(const boost::asio::ip::tcp::socket &socket);

// One client connection of an HttpServer, on a strand of its own: reads each request with
// Beast's own reads and one parser per request, holds it to the limits, hands complete
// requests to the handler and writes the answers in request order. Internal to the server.
class HttpConnection final : public std::enable_shared_from_this<HttpConnection> {
public:
    // `host` has been admitted by the server's shared state; the connection gives its slot
    // back when it closes.
    HttpConnection(boost::asio::ip::tcp::socket socket, std::shared_ptr<HttpServerShared> shared,
                   std::string host);
    ~HttpConnection();
    HttpConnection(const HttpConnection &) = delete;
    HttpConnection &operator=(const HttpConnection &) = delete;

    void start();
    // From any thread.
    void deliver(quint64 sequence, HttpResponse response);
    void closeFromAnyThread();
    // From any thread: false once the connection has closed, when no answer reaches the
    // client any more.
    bool isOpen() const { return m_open.load(std::memory_order_relaxed); }

private:
    using Answer = boost::beast::http::response<boost::beast::http::span_body<const char>>;
    struct Slot {
        quint64 sequence = 0;
        std::optional<HttpResponse> response; // empty until the handler answers
        bool closeAfter = false;
        bool keepAliveHttp10 = false; // the answer must say so
        QByteArray method;
        QByteArray target;
    };
    // Where the connection is. A read is under way exactly in the states marked so.
    enum class State {
        AwaitingRequest, // reading: waiting for the first byte of the next request
        ReadingRequest,  // reading: a request has begun, its header and then its body
        RequestTimedOut, // reading: the request's deadline has passed; the read is cancelled
        Paused,          // as many requests wait for their answers as allowed: nothing is read
        LastAnswers,     // no further request is read: the answers due go out, then it lingers
        Lingering,       // reading: our side is shut, what the client still sends is dropped
        Closed,
    };

    void awaitRequest();
    void onFirstBytes(boost::beast::error_code ec, std::size_t bytes);
    bool skipEmptyLines();
    void beginRequest();
    void onHeader(boost::beast::error_code ec, std::size_t bytes);
    void onBody(boost::beast::error_code ec);
    void requestTimedOut();
    void finishRequest();
    // `consumed`: what the parser took of the request before it failed.
    void refuseParse(boost::beast::error_code ec, std::size_t consumed);
    void reject(const HttpRefusal &refusal);
    void peerClosed();
    void answerReady(quint64 sequence, HttpResponse response);
    void flush();
    void onWritten(boost::beast::error_code ec);
    void startLinger();
    void lingerRead();
    void close();
    void cutOff(const QString &reason);
    void logAnswer(const Slot &slot) const;
    bool answersDue() const { return !m_slots.empty() || m_writing.has_value(); }

    std::shared_ptr<HttpServerShared> m_shared;
    const HttpLimits &m_limits;
    boost::asio::any_io_executor m_executor; // the connection's strand
    boost::beast::tcp_stream m_stream;
    // The one deadline the stream's own cannot carry: when a request is late it must still
    // be answered 408, and the stream closes its socket when its deadline passes.
    boost::asio::steady_timer m_requestDeadline;
    boost::beast::flat_buffer m_buffer;
    std::optional<HttpRequestParser> m_parser;
    std::deque<Slot> m_slots; // in request order
    // While answers are due and nothing is read (paused, or after the last request) no
    // operation under way holds the connection: it holds itself until they have gone.
    std::shared_ptr<HttpConnection> m_self;
    std::optional<Answer> m_writing;
    State m_state = State::AwaitingRequest;
    quint64 m_nextSequence = 0;
    int m_emptyLines = 0;
    qint64 m_discarded = 0;
    boost::asio::steady_timer::time_point m_lingerEnd;
    std::atomic<bool> m_open{true};
    std::string m_host;
    QString m_peer;
};

} // namespace itinerary
