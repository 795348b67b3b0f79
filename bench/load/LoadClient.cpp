#include "LoadClient.h"

#include "ReceiptRequests.h"

#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace itinerary::load {

namespace {
constexpr int MaxReportedFailures = 10;
} // namespace

// One client: one request at a time on a kept-alive connection.
class LoadClient::Connection final : public QObject {
public:
    explicit Connection(LoadClient &owner)
        : m_owner(owner) {
        m_timer.setSingleShot(true);
        m_timer.setInterval(m_owner.m_options.answerTimeout);
        connect(&m_timer, &QTimer::timeout, this,
                [this] { fail(u"no answer within the time-out"_s); });
    }

    bool idle() const { return !m_waiting && !m_socket; }

    void open() {
        if (!m_owner.sending()) {
            m_owner.connectionIdle();
            return;
        }
        m_socket = std::make_unique<QTcpSocket>();
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QTcpSocket *socket = m_socket.get();
        connect(socket, &QTcpSocket::connected, this, &Connection::sendNext);
        connect(socket, &QIODevice::readyRead, this, &Connection::read);
        connect(socket, &QAbstractSocket::disconnected, this, &Connection::closed);
        connect(socket, &QAbstractSocket::errorOccurred, this,
                [this](QAbstractSocket::SocketError error) {
                    // The service closing after a "Connection: close" answer is expected.
                    if (error != QAbstractSocket::RemoteHostClosedError)
                        closed();
                });
        m_sentOnConnection = 0;
        m_socket->connectToHost(QHostAddress::LocalHost, m_owner.m_options.port);
        m_timer.start();
        m_waiting = true; // for the connection, then for each answer
    }

private:
    void sendNext() {
        if (!m_owner.sending()) {
            finish();
            return;
        }
        ++m_sentOnConnection;
        m_closeAfter = m_sentOnConnection >= m_owner.m_options.requestsPerConnection;
        const QByteArray request =
            getRequest(printTarget(receiptValues(m_owner.nextSerial())), m_closeAfter);
        m_buffer.clear();
        m_waiting = true;
        m_sent.start();
        m_timer.start();
        m_socket->write(request);
    }

    void read() {
        m_buffer += m_socket->readAll();
        const qsizetype headerEnd = m_buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QByteArray headers = m_buffer.first(headerEnd);
        const qsizetype lengthAt = headers.toLower().indexOf("\r\ncontent-length:");
        if (lengthAt < 0) {
            fail(u"answer without Content-Length: "_s + QString::fromLatin1(headers.left(80)));
            return;
        }
        const qsizetype lengthEnd = headers.indexOf('\r', lengthAt + 2);
        const qsizetype length =
            headers.mid(lengthAt + 17, lengthEnd < 0 ? -1 : lengthEnd - lengthAt - 17)
                .trimmed()
                .toLongLong();
        if (m_buffer.size() < headerEnd + 4 + length)
            return;
        m_timer.stop();
        m_waiting = false;
        const double ms = double(m_sent.nsecsElapsed()) / 1e6;
        const QByteArray body = m_buffer.mid(headerEnd + 4, length);
        const bool extra = m_buffer.size() > headerEnd + 4 + length;
        m_buffer.clear();
        if (!headers.startsWith("HTTP/1.1 200 ")) {
            fail(u"answer "_s + QString::fromLatin1(headers.left(headers.indexOf('\r'))));
            return;
        }
        if (!isReceiptPicture(body)) {
            fail(u"the answer is not the receipt picture"_s);
            return;
        }
        if (extra) {
            fail(u"bytes after the answer"_s);
            return;
        }
        m_owner.answered(ms);
        if (m_closeAfter)
            return; // the service closes; closed() connects again
        sendNext();
    }

    void closed() {
        if (!m_socket)
            return;
        if (m_waiting) {
            fail(m_socket->error() == QAbstractSocket::RemoteHostClosedError
                     ? u"connection closed before the answer"_s
                     : u"connection failed: "_s + m_socket->errorString());
            return;
        }
        drop();
        open();
    }

    void fail(const QString &reason) {
        m_owner.failed(reason);
        m_waiting = false;
        drop();
        open();
    }

    void finish() {
        m_waiting = false;
        drop();
        m_owner.connectionIdle();
    }

    void drop() {
        m_timer.stop();
        if (m_socket) {
            m_socket->disconnect(this);
            m_socket->abort();
            // Not deleted inside its own signal.
            m_socket.release()->deleteLater();
        }
    }

    LoadClient &m_owner;
    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_buffer;
    QElapsedTimer m_sent;
    QTimer m_timer;
    int m_sentOnConnection = 0;
    bool m_closeAfter = false;
    bool m_waiting = false;
};

LoadClient::LoadClient(const LoadOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options) {}

LoadClient::~LoadClient() = default;

bool LoadClient::sending() const {
    return m_running && m_clock.elapsed() < m_options.duration.count();
}

void LoadClient::answered(double latencyMs) {
    ++m_result.answered;
    m_result.latenciesMs.push_back(latencyMs);
}

void LoadClient::failed(const QString &reason) {
    ++m_result.failed;
    if (m_result.failures.size() < MaxReportedFailures)
        m_result.failures.append(reason);
}

void LoadClient::connectionIdle() {
    if (m_running && std::all_of(m_connections.begin(), m_connections.end(),
                                 [](const auto &c) { return c->idle(); }))
        m_running = false;
}

LoadResult LoadClient::run() {
    m_result = LoadResult();
    m_connections.clear();
    for (int i = 0; i < m_options.connections; ++i)
        m_connections.push_back(std::make_unique<Connection>(*this));
    m_running = true;
    m_clock.start();
    for (const auto &connection : m_connections)
        connection->open();

    // Bounded: the duration, then at most the answer time-out for the last answers.
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
        if (!m_running ||
            m_clock.elapsed() > (m_options.duration + m_options.answerTimeout).count() + 1000)
            loop.quit();
    });
    poll.start(20);
    loop.exec();

    const qint64 unanswered = std::count_if(m_connections.begin(), m_connections.end(),
                                            [](const auto &c) { return !c->idle(); });
    for (qint64 i = 0; i < unanswered; ++i)
        failed(u"still unanswered at the end"_s);
    m_running = false;
    m_connections.clear();
    m_result.seconds = double(m_clock.nsecsElapsed()) / 1e9;
    return m_result;
}

} // namespace itinerary::load
