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

#include <deque>
#include <memory>
#include <optional>

namespace itinerary {

// One client connection of an HttpServer, on a strand of its own: reads requests with one
// Beast parser per request, holds them to the limits, hands complete requests to the
// handler and writes the answers in request order. Internal to the server.
// "ADDR:PORT" of the client on `socket`, for the log.
QString peerAddress(const boost::asio::ip::tcp::socket &socket);

class HttpConnection final : public std::enable_shared_from_this<HttpConnection> {
public:
    HttpConnection(boost::asio::ip::tcp::socket socket, std::shared_ptr<HttpServerShared> shared);
    ~HttpConnection();
    HttpConnection(const HttpConnection &) = delete;
    HttpConnection &operator=(const HttpConnection &) = delete;

    void start();
    // From any thread.
    void deliver(quint64 sequence, HttpResponse response);
    void closeFromAnyThread();

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
    enum class Deadline { None, Idle, Request, Linger };

    void read();
    void onRead(boost::beast::error_code ec, std::size_t bytes);
    void parse();
    bool skipEmptyLines();
    void startRequest();
    bool checkHeader();
    void finishRequest();
    void refuseParse(boost::beast::error_code ec);
    void reject(const HttpRefusal &refusal);
    void answerReady(quint64 sequence, HttpResponse response);
    void flush();
    void onWritten(boost::beast::error_code ec);
    void startLinger();
    void close();
    void cutOff(const QString &reason);
    void logAnswer(const Slot &slot) const;
    void updateDeadline();
    void setDeadline(Deadline kind);

    std::shared_ptr<HttpServerShared> m_shared;
    const HttpLimits &m_limits;
    boost::asio::any_io_executor m_executor; // the connection's strand
    boost::beast::tcp_stream m_stream;
    boost::asio::steady_timer m_deadline;
    Deadline m_deadlineKind = Deadline::None;
    quint64 m_deadlineGeneration = 0;
    boost::beast::flat_buffer m_buffer;
    std::optional<HttpRequestParser> m_parser;
    std::size_t m_headerBytes = 0; // of the request being parsed, as far as consumed
    bool m_headerChecked = false;
    std::deque<Slot> m_slots; // in request order
    std::optional<Answer> m_writing;
    quint64 m_nextSequence = 0;
    int m_emptyLines = 0;
    qint64 m_discarded = 0;
    bool m_reading = false;
    bool m_noMoreRequests = false; // the last request asked to close, or one was refused
    bool m_peerClosed = false;
    bool m_lingering = false;
    bool m_closed = false;
    QString m_peer;
};

} // namespace itinerary
