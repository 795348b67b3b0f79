#include "render/ServiceConnection.h"

#include <QFutureWatcher>
#include <QTcpSocket>

#include <sys/socket.h>

namespace itinerary {

namespace {

// What a client may still send after a closing 4xx before it is cut off.
constexpr qint64 MaxDiscardedBytes = 16 * 1024 * 1024;
// Answers waiting for a client that does not read them.
constexpr qint64 MaxUnsentBytes = 8 * 1024 * 1024;
// Empty lines tolerated between requests.
constexpr int MaxEmptyLines = 8;

bool isTokenChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '!' || c == '#' || c == '$' || c == '%' || c == '&' || c == '\'' ||
           c == '*' || c == '+' || c == '.' || c == '^' || c == '`' || c == '|' || c == '~';
}

QByteArray rawAnswer(int status, const QByteArray &reason, const QByteArray &text) {
    const QByteArray body = text + '\n';
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason +
           "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

bool headerHasToken(const QByteArray &value, const QByteArray &token) {
    for (const QByteArray &part : value.split(',')) {
        if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

ServiceConnection::ServiceConnection(QTcpSocket *socket, const ServiceLimits &limits,
                                     QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_limits(limits) {
    // Connected before the HTTP server connects its own slot, so scan() sees each chunk of
    // bytes before the server reads it.
    connect(socket, &QIODevice::readyRead, this, &ServiceConnection::scan);
    connect(socket, &QAbstractSocket::disconnected, this, [this] {
        dropAnswers();
        m_requestTimer.stop();
        m_idleTimer.stop();
        m_lingerTimer.stop();
        deleteLater();
    });
    connect(socket, &QObject::destroyed, this, &QObject::deleteLater);

    m_requestTimer.setSingleShot(true);
    m_requestTimer.setInterval(m_limits.requestTimeout);
    connect(&m_requestTimer, &QTimer::timeout, this,
            [this] { reject(408, "Request Timeout", "request timeout"); });
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(m_limits.idleTimeout);
    connect(&m_idleTimer, &QTimer::timeout, this, [this] {
        // Also the reaper of a connection whose socket went without telling this object.
        if (!m_socket || m_socket->state() == QAbstractSocket::UnconnectedState) {
            deleteLater();
            return;
        }
        m_socket->disconnectFromHost();
        m_idleTimer.start();
    });
    m_lingerTimer.setSingleShot(true);
    m_lingerTimer.setInterval(m_limits.lingerTimeout);
    connect(&m_lingerTimer, &QTimer::timeout, this, [this] {
        if (m_socket)
            m_socket->abort();
    });
    m_idleTimer.start();
}

ServiceConnection::~ServiceConnection() {
    dropAnswers();
}

void ServiceConnection::dropAnswers() {
    // Responders are let go while their socket still exists; the renders still running
    // finish into the void (their watchers go with the answers).
    for (Answer &a : m_answers)
        delete a.watcher;
    m_answers.clear();
    m_requests.clear();
}

std::optional<QByteArray> ServiceConnection::takeTarget() {
    if (m_requests.empty())
        return std::nullopt;
    Request request = std::move(m_requests.front());
    m_requests.pop_front();
    m_closeAfterLastTaken = request.closeAfter;
    return std::move(request.target);
}

void ServiceConnection::answer(QHttpServerResponder &&responder, QHttpServerResponse &&response) {
    Answer a;
    a.responder = std::make_unique<QHttpServerResponder>(std::move(responder));
    a.response.emplace(std::move(response));
    a.closeAfter = m_closeAfterLastTaken;
    a.ready = true;
    m_answers.push_back(std::move(a));
    flush();
}

void ServiceConnection::answerLater(QHttpServerResponder &&responder,
                                    QFuture<QHttpServerResponse> future) {
    Answer a;
    a.responder = std::make_unique<QHttpServerResponder>(std::move(responder));
    a.closeAfter = m_closeAfterLastTaken;
    a.watcher = new QFutureWatcher<QHttpServerResponse>(this);
    QFutureWatcher<QHttpServerResponse> *watcher = a.watcher;
    m_answers.push_back(std::move(a));
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher] { renderFinished(watcher); });
    watcher->setFuture(std::move(future));
    m_idleTimer.stop();
}

void ServiceConnection::renderFinished(QFutureWatcher<QHttpServerResponse> *watcher) {
    for (Answer &a : m_answers) {
        if (a.watcher != watcher)
            continue;
        QFuture<QHttpServerResponse> future = watcher->future();
        if (future.isValid() && !future.isCanceled() && future.resultCount() > 0)
            a.response.emplace(future.takeResult());
        else
            a.response.emplace(QByteArray("text/plain; charset=utf-8"),
                               QByteArray("render failed\n"),
                               QHttpServerResponse::StatusCode::InternalServerError);
        a.watcher = nullptr;
        a.ready = true;
        break;
    }
    watcher->deleteLater();
    flush();
}

void ServiceConnection::flush() {
    while (!m_answers.empty() && m_answers.front().ready) {
        Answer a = std::move(m_answers.front());
        m_answers.pop_front();
        if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
            continue;
        if (!a.rejection.isEmpty()) {
            m_socket->write(a.rejection);
            dropAnswers();
            lingeringClose();
            return;
        }
        a.response->write(std::move(*a.responder));
        if (a.closeAfter) {
            // The client asked to close after this answer; nothing after it is read.
            dropAnswers();
            m_phase = Phase::Closing;
            m_socket->disconnectFromHost();
            return;
        }
    }
    if (m_socket && m_socket->bytesToWrite() > MaxUnsentBytes) {
        m_socket->abort();
        return;
    }
    updateIdleTimer();
}

void ServiceConnection::updateIdleTimer() {
    const bool idle = m_phase == Phase::RequestLine && m_line.isEmpty() && m_requests.empty() &&
                      m_answers.empty();
    if (idle && !m_idleTimer.isActive())
        m_idleTimer.start();
    else if (!idle)
        m_idleTimer.stop();
}

bool ServiceConnection::tooManyPending() const {
    return qsizetype(m_requests.size() + m_answers.size()) > m_limits.maxPendingPerConnection;
}

void ServiceConnection::scan() {
    if (!m_socket)
        return;
    if (m_phase == Phase::Closing) {
        discard();
        return;
    }
    const QByteArray chunk = m_socket->peek(m_socket->bytesAvailable());
    if (chunk.isEmpty())
        return;
    m_idleTimer.stop();
    qsizetype pos = 0;
    while (pos < chunk.size()) {
        if (m_phase == Phase::RequestLine && m_line.isEmpty() && !m_requestTimer.isActive())
            m_requestTimer.start();
        const qsizetype newline = chunk.indexOf('\n', pos);
        const qsizetype end = newline < 0 ? chunk.size() : newline;
        const qsizetype length = end - pos;
        // Limits are checked before the bytes are kept, so no line grows past them. One
        // byte more is allowed for the carriage return before the line feed.
        if (m_phase == Phase::RequestLine && m_line.size() + length > m_limits.maxRequestLine + 1) {
            reject(414, "URI Too Long", "request line too long");
            return;
        }
        if (m_phase == Phase::Headers &&
            m_headerBytes + m_line.size() + length > m_limits.maxHeaderBytes) {
            reject(431, "Request Header Fields Too Large", "header lines too large");
            return;
        }
        m_line.append(chunk.constData() + pos, length);
        if (newline < 0)
            break;
        pos = newline + 1;
        QByteArray line = std::exchange(m_line, QByteArray());
        if (line.endsWith('\r'))
            line.chop(1);
        if (!scanLine(line))
            return;
        if (m_phase == Phase::Closing)
            break;
    }
    if (tooManyPending()) {
        m_socket->abort();
        return;
    }
    updateIdleTimer();
}

bool ServiceConnection::scanLine(const QByteArray &line) {
    if (m_phase == Phase::RequestLine) {
        // A few empty lines before a request are allowed and ignored; they start no request.
        if (line.isEmpty()) {
            m_requestTimer.stop();
            if (++m_emptyLines > MaxEmptyLines) {
                reject(400, "Bad Request", "malformed request line");
                return false;
            }
            return true;
        }
        m_emptyLines = 0;
        return startRequest(line);
    }
    if (!line.isEmpty())
        return headerLine(line);

    // End of the header lines: the request is complete.
    m_requestTimer.stop();
    m_current.closeAfter = m_closeHeader || !m_keepAlive;
    m_requests.push_back(std::move(m_current));
    m_current = Request();
    m_phase = Phase::RequestLine;
    if (m_requests.back().closeAfter) {
        // Nothing after this request is read: what follows is dropped.
        m_phase = Phase::Closing;
    }
    return true;
}

bool ServiceConnection::startRequest(const QByteArray &line) {
    if (line.size() > m_limits.maxRequestLine) {
        reject(414, "URI Too Long", "request line too long");
        return false;
    }
    // method SP request-target SP HTTP-version, nothing else.
    const qsizetype firstSpace = line.indexOf(' ');
    const qsizetype lastSpace = line.lastIndexOf(' ');
    bool wellFormed = firstSpace > 0 && lastSpace > firstSpace + 1;
    for (qsizetype i = 0; wellFormed && i < firstSpace; ++i)
        wellFormed = isTokenChar(line.at(i));
    const QByteArray version = wellFormed ? line.mid(lastSpace + 1) : QByteArray();
    wellFormed = wellFormed && (version == "HTTP/1.1" || version == "HTTP/1.0");
    const QByteArray target =
        wellFormed ? line.mid(firstSpace + 1, lastSpace - firstSpace - 1) : QByteArray();
    for (qsizetype i = 0; wellFormed && i < target.size(); ++i) {
        const auto c = static_cast<unsigned char>(target.at(i));
        wellFormed = c > 0x20 && c != 0x7F;
    }
    if (!wellFormed) {
        reject(400, "Bad Request", "malformed request line");
        return false;
    }
    // Only GET is served; HEAD and the others would need answers the HTTP server does not
    // frame the same way.
    if (line.first(firstSpace) != "GET") {
        reject(405, "Method Not Allowed", "only GET is served");
        return false;
    }
    m_current = Request{target, false};
    m_keepAlive = version == "HTTP/1.1";
    m_closeHeader = false;
    m_headerBytes = 0;
    m_headerLines = 0;
    m_phase = Phase::Headers;
    return true;
}

bool ServiceConnection::headerLine(const QByteArray &line) {
    m_headerBytes += line.size() + 2;
    if (++m_headerLines > m_limits.maxHeaderLines) {
        reject(431, "Request Header Fields Too Large", "too many header lines");
        return false;
    }
    const qsizetype colon = line.indexOf(':');
    bool wellFormed = colon > 0;
    for (qsizetype i = 0; wellFormed && i < colon; ++i)
        wellFormed = isTokenChar(line.at(i));
    if (!wellFormed) {
        reject(400, "Bad Request", "malformed header line");
        return false;
    }
    const QByteArray name = line.first(colon).toLower();
    const QByteArray value = line.sliced(colon + 1).trimmed();
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\t') || c == 0x7F) {
            reject(400, "Bad Request", "malformed header line");
            return false;
        }
    }
    // The service takes GET requests only; a body would have to be framed, and is refused.
    if ((name == "content-length" && value != "0") || name == "transfer-encoding") {
        reject(413, "Content Too Large", "request body not accepted");
        return false;
    }
    if (name == "connection") {
        if (headerHasToken(value, "close"))
            m_closeHeader = true;
        if (headerHasToken(value, "keep-alive"))
            m_keepAlive = true;
    }
    return true;
}

void ServiceConnection::reject(int status, const QByteArray &reason, const QByteArray &text) {
    if (!m_socket || m_phase == Phase::Closing)
        return;
    m_phase = Phase::Closing;
    m_requestTimer.stop();
    m_idleTimer.stop();
    // The HTTP server must not parse the rest of this stream: from here on every byte that
    // arrives is dropped unread by the server.
    disconnect(m_socket, &QIODevice::readyRead, nullptr, nullptr);
    connect(m_socket, &QIODevice::readyRead, this, &ServiceConnection::discard);
    discard();
    m_requests.clear();
    Answer a;
    a.rejection = rawAnswer(status, reason, text);
    a.ready = true;
    m_answers.push_back(std::move(a));
    flush();
}

void ServiceConnection::discard() {
    if (!m_socket)
        return;
    m_discarded += m_socket->skip(m_socket->bytesAvailable());
    if (m_discarded > MaxDiscardedBytes)
        m_socket->abort();
}

void ServiceConnection::lingeringClose() {
    // Closing at once with unread input would make the kernel reset the connection, and the
    // client could lose the answer. Instead: send the answer, end our side, drop what the
    // client still sends until it closes, and cut it off after the linger time.
    m_lingerTimer.start();
    const auto shutdownWhenSent = [this] {
        if (m_socket && m_socket->bytesToWrite() == 0)
            ::shutdown(int(m_socket->socketDescriptor()), SHUT_WR);
    };
    connect(m_socket, &QIODevice::bytesWritten, this, shutdownWhenSent);
    m_socket->flush();
    shutdownWhenSent();
}

} // namespace itinerary
