#include "http/HttpConnection.h"

#include <boost/asio/post.hpp>
#include <boost/beast/core/error.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include <cstring>
#include <limits>

namespace beast = boost::beast;
namespace http = boost::beast::http;
namespace asio = boost::asio;
using asio::ip::tcp;
using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

constexpr std::size_t ReadChunk = 16 * 1024;
// What a client may still send after its last request before it is cut off.
constexpr qint64 MaxDiscardedBytes = 16 * 1024 * 1024;
// Empty lines tolerated between requests.
constexpr int MaxEmptyLines = 8;

beast::string_view view(const QByteArray &array) {
    return beast::string_view(array.constData(), std::size_t(array.size()));
}

} // namespace

QString peerAddress(const tcp::socket &socket) {
    beast::error_code ec;
    const tcp::endpoint endpoint = socket.remote_endpoint(ec);
    if (ec)
        return u"(unknown)"_s;
    const QString address = QString::fromStdString(endpoint.address().to_string());
    return (endpoint.address().is_v6() ? u"[%1]:%2"_s : u"%1:%2"_s)
        .arg(address)
        .arg(endpoint.port());
}

std::string peerHost(const tcp::socket &socket) {
    beast::error_code ec;
    const tcp::endpoint endpoint = socket.remote_endpoint(ec);
    if (ec)
        return std::string();
    asio::ip::address address = endpoint.address();
    // An IPv4 client of a dual-stack socket is the same client as over IPv4.
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        address = asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
    return address.to_string();
}

void HttpResponder::send(HttpResponse response) const {
    if (const std::shared_ptr<HttpConnection> connection = m_connection.lock())
        connection->deliver(m_sequence, std::move(response));
}

bool HttpResponder::connectionOpen() const {
    const std::shared_ptr<HttpConnection> connection = m_connection.lock();
    return connection && connection->isOpen();
}

HttpConnection::HttpConnection(tcp::socket socket, std::shared_ptr<HttpServerShared> shared,
                               std::string host)
    : m_shared(std::move(shared))
    , m_limits(m_shared->limits)
    , m_executor(socket.get_executor())
    , m_stream(std::move(socket))
    , m_requestDeadline(m_executor)
    , m_host(std::move(host)) {}

HttpConnection::~HttpConnection() {
    if (m_state != State::Closed)
        m_shared->releaseConnection(m_host);
    const std::lock_guard lock(m_shared->mutex);
    m_shared->live.erase(this);
}

void HttpConnection::start() {
    {
        const std::lock_guard lock(m_shared->mutex);
        if (!m_shared->stopping)
            m_shared->live.emplace(this, weak_from_this());
    }
    beast::error_code ignored;
    m_stream.socket().set_option(tcp::no_delay(true), ignored);
    m_peer = peerAddress(m_stream.socket());
    // Started on the strand, like everything the connection does.
    asio::post(m_executor, [self = shared_from_this()] {
        bool stopping = false;
        {
            const std::lock_guard lock(self->m_shared->mutex);
            stopping = self->m_shared->stopping;
        }
        if (stopping)
            self->close();
        else
            self->awaitRequest();
    });
}

void HttpConnection::deliver(quint64 sequence, HttpResponse response) {
    asio::post(m_executor,
               [self = shared_from_this(), sequence, response = std::move(response)]() mutable {
                   self->answerReady(sequence, std::move(response));
               });
}

void HttpConnection::closeFromAnyThread() {
    asio::post(m_executor, [self = shared_from_this()] { self->close(); });
}

void HttpConnection::awaitRequest() {
    m_state = State::AwaitingRequest;
    if (!skipEmptyLines())
        return;
    const auto *data = static_cast<const char *>(m_buffer.data().data());
    // A lone "\r" may yet be an empty line: it waits for what follows.
    if (m_buffer.size() > 1 || (m_buffer.size() == 1 && data[0] != '\r')) {
        beginRequest();
        return;
    }
    // While answers are due the client may take its time; once none is, the connection is
    // closed when it stays idle (the first time, when it sends nothing at all).
    if (answersDue())
        m_stream.expires_never();
    else if (m_nextSequence == 0)
        m_stream.expires_after(std::min(m_limits.firstByteTimeout, m_limits.idleTimeout));
    else
        m_stream.expires_after(m_limits.idleTimeout);
    m_stream.async_read_some(m_buffer.prepare(ReadChunk),
                             [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                                 self->onFirstBytes(ec, n);
                             });
}

void HttpConnection::onFirstBytes(beast::error_code ec, std::size_t bytes) {
    if (m_state != State::AwaitingRequest)
        return; // closed meanwhile
    m_buffer.commit(bytes);
    if (ec == asio::error::operation_aborted) {
        // The last answer has gone: the wait starts again, now with the idle deadline.
        awaitRequest();
    } else if (ec == beast::error::timeout && m_nextSequence == 0) {
        m_shared->logRefusal(
            m_host, "cut off " + m_peer.toUtf8() + ": sent nothing within " +
                        QByteArray::number(qlonglong(
                            std::min(m_limits.firstByteTimeout, m_limits.idleTimeout).count())) +
                        " ms");
        close();
    } else if (ec == beast::error::timeout) {
        qCDebug(m_shared->category, "%s idle, closed", qUtf8Printable(m_peer));
        close();
    } else if (ec == asio::error::eof) {
        peerClosed();
    } else if (ec) {
        close();
    } else {
        awaitRequest();
    }
}

bool HttpConnection::skipEmptyLines() {
    while (m_buffer.size() > 0) {
        const auto *data = static_cast<const char *>(m_buffer.data().data());
        std::size_t skip = 0;
        if (data[0] == '\n')
            skip = 1;
        else if (data[0] == '\r' && m_buffer.size() >= 2 && data[1] == '\n')
            skip = 2;
        else
            return true; // a request starts, or a lone "\r" waits for what follows
        m_buffer.consume(skip);
        if (++m_emptyLines > MaxEmptyLines) {
            reject({400, "malformed request line"});
            return false;
        }
    }
    return true;
}

void HttpConnection::beginRequest() {
    m_state = State::ReadingRequest;
    m_emptyLines = 0;
    m_parser.emplace(m_limits.maxHeaderLines);
    // One limit for the whole header in the parser; which part was too long is told apart
    // when it fails.
    m_parser->header_limit(std::uint32_t(m_limits.maxRequestLine + m_limits.maxHeaderBytes + 4));
    // The body limit is set once the header has been checked, so that a refused method is
    // told as such and not as a body too large. (An empty limit would not do: the parser
    // compares a Content-Length with it as an optional, and every number exceeds none.)
    m_parser->body_limit(std::numeric_limits<std::uint64_t>::max());
    m_requestDeadline.expires_after(m_limits.requestTimeout);
    m_requestDeadline.async_wait([self = shared_from_this()](beast::error_code ec) {
        if (!ec)
            self->requestTimedOut();
    });
    m_stream.expires_never();
    http::async_read_header(m_stream, m_buffer, *m_parser,
                            [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                                self->onHeader(ec, n);
                            });
}

void HttpConnection::onHeader(beast::error_code ec, std::size_t bytes) {
    if (m_state == State::RequestTimedOut) {
        reject({408, "request timeout"});
        return;
    }
    if (m_state != State::ReadingRequest)
        return;
    if (ec) {
        refuseParse(ec, bytes);
        return;
    }
    if (const std::optional<HttpRefusal> refusal =
            refuseHeader(m_limits, m_parser->request(), m_parser->fieldCount(), bytes,
                         m_parser->content_length().value_or(0))) {
        reject(*refusal);
        return;
    }
    if (m_parser->is_done()) {
        finishRequest();
        return;
    }
    m_parser->body_limit(std::uint64_t(m_limits.maxBodyBytes));
    m_parser->eager(true);
    http::async_read(
        m_stream, m_buffer, *m_parser,
        [self = shared_from_this()](beast::error_code error, std::size_t) { self->onBody(error); });
}

void HttpConnection::onBody(beast::error_code ec) {
    if (m_state == State::RequestTimedOut) {
        reject({408, "request timeout"});
        return;
    }
    if (m_state != State::ReadingRequest)
        return;
    if (ec)
        refuseParse(ec, 0);
    else
        finishRequest();
}

void HttpConnection::requestTimedOut() {
    if (m_state != State::ReadingRequest)
        return;
    m_state = State::RequestTimedOut;
    // Cancelling would end an answer being written too: then it waits until that has gone.
    if (!m_writing) {
        beast::error_code ignored;
        m_stream.socket().cancel(ignored);
    }
}

void HttpConnection::refuseParse(beast::error_code ec, std::size_t consumed) {
    if (ec == http::error::end_of_stream || ec == http::error::partial_message ||
        ec == asio::error::eof) {
        qCDebug(m_shared->category, "%s left in the middle of a request", qUtf8Printable(m_peer));
        peerClosed();
        return;
    }
    if (ec == asio::error::operation_aborted ||
        ec.category() == asio::error::get_system_category()) {
        close();
        return;
    }
    // Once the parser has taken the request line, it is what it consumed without its line
    // end; before, what the buffer holds up to its first line end.
    const auto *data = static_cast<const char *>(m_buffer.data().data());
    std::size_t requestLine = consumed > 2 ? consumed - 2 : m_buffer.size();
    if (consumed == 0) {
        if (const void *end = std::memchr(data, '\n', m_buffer.size()))
            requestLine = std::size_t(static_cast<const char *>(end) - data);
    }
    const bool requestLineTaken = consumed > 0 || !m_parser->request().method.isEmpty();
    reject(
        refuseParseError(m_limits, ec, requestLine, requestLineTaken, m_parser->is_header_done()));
}

void HttpConnection::finishRequest() {
    m_requestDeadline.cancel();
    HttpRequest request = std::move(m_parser->request());
    request.peer = m_peer;

    Slot slot;
    slot.sequence = m_nextSequence++;
    slot.closeAfter = !m_parser->keep_alive();
    slot.keepAliveHttp10 = !slot.closeAfter && m_parser->version() == 10;
    slot.method = request.method;
    slot.target = request.target;
    m_slots.push_back(std::move(slot));
    m_self = shared_from_this();
    // Nothing after a request that asks to close is read.
    if (m_slots.back().closeAfter)
        m_state = State::LastAnswers;
    else if (qsizetype(m_slots.size()) >= m_limits.maxPendingPerConnection)
        m_state = State::Paused;
    m_shared->handler(std::move(request), HttpResponder(weak_from_this(), m_slots.back().sequence));
    // The handler answers through the strand, never from inside this call.
    if (m_state == State::ReadingRequest)
        awaitRequest();
}

void HttpConnection::reject(const HttpRefusal &refusal) {
    // Only ever called while no read is under way.
    m_requestDeadline.cancel();
    Slot slot;
    slot.sequence = m_nextSequence++;
    slot.response = HttpResponse::text(refusal.status, refusal.text);
    slot.closeAfter = true;
    if (m_parser && m_parser->is_header_done()) {
        slot.method = m_parser->request().method;
        slot.target = m_parser->request().target;
    }
    m_slots.push_back(std::move(slot));
    m_self = shared_from_this();
    m_state = State::LastAnswers;
    flush();
}

void HttpConnection::peerClosed() {
    // No client of these services ends only its sending side and waits for its answers: one
    // that closes has gone, and the work for its requests still queued is skipped.
    if (answersDue())
        qCDebug(m_shared->category, "%s left before its answers", qUtf8Printable(m_peer));
    close();
}

void HttpConnection::answerReady(quint64 sequence, HttpResponse response) {
    if (m_state == State::Closed)
        return;
    for (Slot &slot : m_slots) {
        if (slot.sequence == sequence && !slot.response) {
            slot.response.emplace(std::move(response));
            break;
        }
    }
    flush();
}

void HttpConnection::flush() {
    if (m_writing || m_state == State::Closed || m_slots.empty() || !m_slots.front().response)
        return;
    const Slot &slot = m_slots.front();
    const HttpResponse &response = *slot.response;
    Answer &answer = m_writing.emplace();
    answer.version(11);
    answer.result(unsigned(response.status));
    if (!response.contentType.isEmpty())
        answer.set(http::field::content_type, view(response.contentType));
    for (const auto &[name, value] : response.headers)
        answer.insert(view(name), view(value));
    for (const auto &[name, value] : m_shared->everyAnswerHeaders) {
        if (answer.find(view(name)) == answer.end())
            answer.insert(view(name), view(value));
    }
    answer.keep_alive(!slot.closeAfter);
    if (slot.keepAliveHttp10)
        answer.set(http::field::connection, "keep-alive");
    answer.body() =
        Answer::body_type::value_type(response.body.constData(), std::size_t(response.body.size()));
    answer.prepare_payload();
    logAnswer(slot);
    m_stream.expires_after(m_limits.writeTimeout);
    http::async_write(
        m_stream, answer,
        [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onWritten(ec); });
}

void HttpConnection::onWritten(beast::error_code ec) {
    m_writing.reset();
    if (m_state == State::Closed)
        return;
    if (ec) {
        if (ec == beast::error::timeout)
            cutOff(u"did not take its answer within %1 ms"_s.arg(m_limits.writeTimeout.count()));
        else
            close();
        return;
    }
    const bool closeAfter = m_slots.front().closeAfter;
    m_slots.pop_front();
    if (m_slots.empty())
        m_self.reset(); // the next read or the linger holds it
    if (closeAfter) {
        startLinger();
        return;
    }
    flush();
    beast::error_code ignored;
    if (m_state == State::Paused && qsizetype(m_slots.size()) < m_limits.maxPendingPerConnection) {
        awaitRequest();
    } else if (m_state == State::RequestTimedOut && !m_writing) {
        m_stream.socket().cancel(ignored); // the late request's read ends, and its 408 follows
    } else if (m_state == State::AwaitingRequest && !answersDue()) {
        // The wait for the next request started while answers were due, without a deadline:
        // it starts again with one.
        m_stream.socket().cancel(ignored);
    }
}

void HttpConnection::startLinger() {
    // Closing at once with unread input would make the kernel reset the connection, and the
    // client could lose the answer. Instead: end our side, drop what the client still sends
    // until it closes, and cut it off after the linger time.
    beast::error_code ignored;
    m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
    m_state = State::Lingering;
    m_lingerEnd = asio::steady_timer::clock_type::now() + m_limits.lingerTimeout;
    lingerRead();
}

void HttpConnection::lingerRead() {
    m_buffer.consume(m_buffer.size());
    m_stream.expires_at(m_lingerEnd);
    m_stream.async_read_some(m_buffer.prepare(ReadChunk),
                             [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                                 if (self->m_state != State::Lingering)
                                     return;
                                 if (ec) {
                                     self->close();
                                     return;
                                 }
                                 self->m_discarded += qint64(n);
                                 if (self->m_discarded > MaxDiscardedBytes)
                                     self->cutOff(u"kept sending after its last request"_s);
                                 else
                                     self->lingerRead();
                             });
}

void HttpConnection::close() {
    if (m_state == State::Closed)
        return;
    m_state = State::Closed;
    m_open.store(false, std::memory_order_relaxed);
    m_requestDeadline.cancel();
    m_slots.clear();
    m_stream.close();
    m_shared->releaseConnection(m_host);
    m_self.reset(); // last: this may be the last reference
}

void HttpConnection::cutOff(const QString &reason) {
    m_shared->logRefusal(m_host, "cut off " + m_peer.toUtf8() + ": " + reason.toUtf8());
    close();
}

void HttpConnection::logAnswer(const Slot &slot) const {
    const HttpResponse &response = *slot.response;
    const QByteArray request = loggableRequest(slot.method, slot.target);
    if (response.status >= 400) {
        // The text of a refusal is one short line; a picture or page is not quoted.
        const QByteArray reason = response.contentType.startsWith("text/plain")
                                      ? response.body.left(200).trimmed()
                                      : QByteArray();
        m_shared->logRefusal(m_host, "refused " + m_peer.toUtf8() + ": " +
                                         QByteArray::number(response.status) + ' ' + reason +
                                         (request.isEmpty() ? QByteArray() : " <- " + request));
    } else {
        qCDebug(m_shared->category, "%s: %d, %lld bytes <- %s", qUtf8Printable(m_peer),
                response.status, qlonglong(response.body.size()), request.constData());
    }
}

} // namespace itinerary
