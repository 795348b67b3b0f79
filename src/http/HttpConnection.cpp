#include "http/HttpConnection.h"

#include <boost/asio/post.hpp>
#include <boost/beast/http/error.hpp>
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

void HttpResponder::send(HttpResponse response) const {
    if (const std::shared_ptr<HttpConnection> connection = m_connection.lock())
        connection->deliver(m_sequence, std::move(response));
}

HttpConnection::HttpConnection(tcp::socket socket, std::shared_ptr<HttpServerShared> shared)
    : m_shared(std::move(shared))
    , m_limits(m_shared->limits)
    , m_executor(socket.get_executor())
    , m_stream(std::move(socket))
    , m_deadline(m_executor) {
    ++m_shared->connections;
}

HttpConnection::~HttpConnection() {
    --m_shared->connections;
    const std::lock_guard lock(m_shared->mutex);
    m_shared->live.erase(this);
}

void HttpConnection::start() {
    {
        const std::lock_guard lock(m_shared->mutex);
        if (m_shared->stopping) {
            m_closed = true;
            m_stream.close();
            return;
        }
        m_shared->live.emplace(this, weak_from_this());
    }
    beast::error_code ignored;
    m_stream.socket().set_option(tcp::no_delay(true), ignored);
    m_peer = peerAddress(m_stream.socket());
    // Started on the strand, like everything the connection does.
    asio::post(m_executor, [self = shared_from_this()] {
        self->updateDeadline();
        self->read();
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

void HttpConnection::read() {
    if (m_reading || m_closed || m_peerClosed)
        return;
    m_reading = true;
    // Reads wait as long as they must: the deadlines of a request, of an idle connection
    // and of the linger are the connection's own timer, because a 408 must still be sent.
    m_stream.expires_never();
    m_stream.async_read_some(
        m_buffer.prepare(ReadChunk),
        [self = shared_from_this()](beast::error_code ec, std::size_t n) { self->onRead(ec, n); });
}

void HttpConnection::onRead(beast::error_code ec, std::size_t bytes) {
    m_reading = false;
    if (m_closed)
        return;
    if (ec) {
        if (ec != asio::error::eof) {
            close();
            return;
        }
        // The client has closed its side: what it asked for is still answered.
        m_peerClosed = true;
        if (m_parser)
            qCDebug(m_shared->category, "%s left in the middle of a request",
                    qUtf8Printable(m_peer));
        m_parser.reset();
        if (m_lingering || (m_slots.empty() && !m_writing))
            close();
        else
            setDeadline(Deadline::None);
        return;
    }
    m_buffer.commit(bytes);
    if (m_noMoreRequests) {
        // Dropped unread; the client may still be sending what it started.
        m_discarded += qint64(m_buffer.size());
        m_buffer.consume(m_buffer.size());
        if (m_discarded > MaxDiscardedBytes) {
            cutOff(u"kept sending after its last request"_s);
            return;
        }
    } else {
        parse();
    }
    if (m_closed)
        return;
    updateDeadline();
    read();
}

void HttpConnection::parse() {
    while (!m_noMoreRequests && m_buffer.size() > 0) {
        if (!m_parser) {
            if (!skipEmptyLines())
                return;
            if (m_buffer.size() == 0 ||
                (m_buffer.size() == 1 &&
                 *static_cast<const char *>(m_buffer.data().data()) == '\r'))
                return;
            startRequest();
        }
        beast::error_code ec;
        const std::size_t used = m_parser->put(m_buffer.data(), ec);
        m_buffer.consume(used);
        if (!m_headerChecked)
            m_headerBytes += used;
        if (ec == http::error::need_more)
            return;
        if (ec) {
            refuseParse(ec);
            return;
        }
        if (!m_headerChecked && m_parser->is_header_done()) {
            m_headerChecked = true;
            if (!checkHeader())
                return;
        }
        if (m_parser->is_done())
            finishRequest();
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

void HttpConnection::startRequest() {
    m_parser.emplace(m_limits.maxHeaderLines);
    // One limit for the whole header in the parser; which part was too long is told apart
    // when it fails.
    m_parser->header_limit(std::uint32_t(m_limits.maxRequestLine + m_limits.maxHeaderBytes + 4));
    // The body limit is set once the header has been checked, so that a refused method is
    // told as such and not as a body too large. (An empty limit would not do: the parser
    // compares a Content-Length with it as an optional, and every number exceeds none.)
    m_parser->body_limit(std::numeric_limits<std::uint64_t>::max());
    m_headerBytes = 0;
    m_headerChecked = false;
    m_emptyLines = 0;
    setDeadline(Deadline::Request);
}

bool HttpConnection::checkHeader() {
    if (const std::optional<HttpRefusal> refusal =
            refuseHeader(m_limits, m_parser->request(), m_parser->fieldCount(), m_headerBytes,
                         m_parser->content_length().value_or(0))) {
        reject(*refusal);
        return false;
    }
    m_parser->body_limit(std::uint64_t(m_limits.maxBodyBytes));
    m_parser->eager(true);
    return true;
}

void HttpConnection::refuseParse(beast::error_code ec) {
    // The request line is whole once the parser has taken it; otherwise it is what the
    // buffer holds up to its first line end.
    std::size_t requestLine = m_headerBytes > 0 ? m_headerBytes - 2 : m_buffer.size();
    if (m_headerBytes == 0) {
        const auto *data = static_cast<const char *>(m_buffer.data().data());
        if (const void *end = std::memchr(data, '\n', m_buffer.size()))
            requestLine = std::size_t(static_cast<const char *>(end) - data);
    }
    reject(refuseParseError(m_limits, ec, requestLine, m_headerBytes > 0, m_headerChecked));
}

void HttpConnection::finishRequest() {
    HttpRequest request = std::move(m_parser->request());
    request.peer = m_peer;

    Slot slot;
    slot.sequence = m_nextSequence++;
    slot.closeAfter = !m_parser->keep_alive();
    slot.keepAliveHttp10 = !slot.closeAfter && m_parser->version() == 10;
    slot.method = request.method;
    slot.target = request.target;
    m_slots.push_back(std::move(slot));
    m_parser.reset();
    setDeadline(Deadline::None);
    if (m_slots.back().closeAfter) {
        // Nothing after this request is read.
        m_noMoreRequests = true;
        m_buffer.consume(m_buffer.size());
    }
    if (qsizetype(m_slots.size()) > m_limits.maxPendingPerConnection) {
        cutOff(u"too many requests waiting for their answers"_s);
        return;
    }
    m_shared->handler(std::move(request), HttpResponder(weak_from_this(), m_slots.back().sequence));
}

void HttpConnection::reject(const HttpRefusal &refusal) {
    if (m_noMoreRequests || m_closed)
        return;
    m_noMoreRequests = true;
    Slot slot;
    slot.sequence = m_nextSequence++;
    slot.response = HttpResponse::text(refusal.status, refusal.text);
    slot.closeAfter = true;
    if (m_parser && m_parser->is_header_done()) {
        slot.method = m_parser->request().method;
        slot.target = m_parser->request().target;
    }
    m_parser.reset();
    // A read under way still writes into the buffer; it drops what it gets.
    if (!m_reading)
        m_buffer.consume(m_buffer.size());
    m_slots.push_back(std::move(slot));
    setDeadline(Deadline::None);
    flush();
}

void HttpConnection::answerReady(quint64 sequence, HttpResponse response) {
    if (m_closed)
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
    if (m_writing || m_closed || m_slots.empty() || !m_slots.front().response)
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
    if (m_closed)
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
    if (closeAfter) {
        startLinger();
        return;
    }
    if (m_peerClosed && m_slots.empty()) {
        close();
        return;
    }
    flush();
    updateDeadline();
}

void HttpConnection::startLinger() {
    // Closing at once with unread input would make the kernel reset the connection, and the
    // client could lose the answer. Instead: end our side, drop what the client still sends
    // until it closes, and cut it off after the linger time.
    m_lingering = true;
    m_noMoreRequests = true;
    beast::error_code ignored;
    m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
    if (m_peerClosed) {
        close();
        return;
    }
    setDeadline(Deadline::Linger);
    read();
}

void HttpConnection::close() {
    if (m_closed)
        return;
    m_closed = true;
    setDeadline(Deadline::None);
    m_slots.clear();
    m_parser.reset();
    m_stream.close();
}

void HttpConnection::cutOff(const QString &reason) {
    qCWarning(m_shared->category, "cut off %s: %s", qUtf8Printable(m_peer), qUtf8Printable(reason));
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
        qCWarning(m_shared->category, "refused %s: %d %s%s%s", qUtf8Printable(m_peer),
                  response.status, reason.constData(), request.isEmpty() ? "" : " <- ",
                  request.constData());
    } else {
        qCDebug(m_shared->category, "%s: %d, %lld bytes <- %s", qUtf8Printable(m_peer),
                response.status, qlonglong(response.body.size()), request.constData());
    }
}

void HttpConnection::updateDeadline() {
    if (m_closed || m_lingering || m_noMoreRequests || m_peerClosed)
        return;
    if (m_parser)
        return; // the request's deadline runs since its first byte
    if (m_slots.empty() && !m_writing)
        setDeadline(Deadline::Idle);
    else
        setDeadline(Deadline::None);
}

void HttpConnection::setDeadline(Deadline kind) {
    if (kind == m_deadlineKind && kind != Deadline::Request)
        return;
    m_deadlineKind = kind;
    const quint64 generation = ++m_deadlineGeneration;
    if (kind == Deadline::None) {
        m_deadline.cancel();
        return;
    }
    m_deadline.expires_after(kind == Deadline::Idle      ? m_limits.idleTimeout
                             : kind == Deadline::Request ? m_limits.requestTimeout
                                                         : m_limits.lingerTimeout);
    m_deadline.async_wait([self = shared_from_this(), generation](beast::error_code ec) {
        if (ec || self->m_closed || generation != self->m_deadlineGeneration)
            return;
        switch (self->m_deadlineKind) {
        case Deadline::Idle:
            qCDebug(self->m_shared->category, "%s idle, closed", qUtf8Printable(self->m_peer));
            self->close();
            break;
        case Deadline::Request:
            self->reject({408, "request timeout"});
            break;
        case Deadline::Linger:
            self->close();
            break;
        case Deadline::None:
            break;
        }
    });
}

} // namespace itinerary
