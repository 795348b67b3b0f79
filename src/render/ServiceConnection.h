#pragma once

#include "render/ServiceLimits.h"

#include <QByteArray>
#include <QFuture>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>

class QTcpSocket;
template <typename T> class QFutureWatcher;

namespace itinerary {

// One client connection of the rendering service. It sees every byte before the HTTP server
// parses it, and so
// - keeps each request's raw request target (the server's own URL parsing would turn
//   GB18030 bytes into U+FFFD), handed out in request order by takeTarget();
// - enforces the limits (GET only, request line, header size and count, no body, a deadline
//   per request, an idle time-out), answering 4xx itself and cutting the connection off;
// - writes the answers in request order, however the renders finish, and drops them
//   cleanly when the client has gone.
class ServiceConnection final : public QObject {
    Q_OBJECT

public:
    ServiceConnection(QTcpSocket *socket, const ServiceLimits &limits, QObject *parent = nullptr);
    ~ServiceConnection() override;

    QTcpSocket *socket() const { return m_socket; }

    // The raw target of the next complete request, in the order the requests arrived.
    std::optional<QByteArray> takeTarget();
    // Queues the answer to the request whose target was taken last.
    void answer(QHttpServerResponder &&responder, QHttpServerResponse &&response);
    void answerLater(QHttpServerResponder &&responder, QFuture<QHttpServerResponse> future);

private:
    struct Request {
        QByteArray target;
        bool closeAfter = false; // "Connection: close", or HTTP/1.0 without keep-alive
    };
    struct Answer {
        std::unique_ptr<QHttpServerResponder> responder; // null for a rejection
        std::optional<QHttpServerResponse> response;
        QFutureWatcher<QHttpServerResponse> *watcher = nullptr;
        QByteArray rejection; // raw bytes of a 4xx the connection writes itself
        bool closeAfter = false;
        bool ready = false;
    };
    enum class Phase { RequestLine, Headers, Closing };

    void scan();
    bool scanLine(const QByteArray &line);
    bool startRequest(const QByteArray &line);
    bool headerLine(const QByteArray &line);
    void reject(int status, const QByteArray &reason, const QByteArray &text);
    void renderFinished(QFutureWatcher<QHttpServerResponse> *watcher);
    void flush();
    void lingeringClose();
    void discard();
    void dropAnswers();
    void updateIdleTimer();
    bool tooManyPending() const;

    QPointer<QTcpSocket> m_socket;
    ServiceLimits m_limits;
    Phase m_phase = Phase::RequestLine;
    QByteArray m_line; // the line being received
    Request m_current; // the request whose header lines are being received
    bool m_keepAlive = false;
    bool m_closeHeader = false;
    qsizetype m_headerBytes = 0;
    int m_headerLines = 0;
    int m_emptyLines = 0;
    std::deque<Request> m_requests; // complete, not yet taken by a handler
    std::deque<Answer> m_answers;   // in request order
    bool m_closeAfterLastTaken = false;
    qint64 m_discarded = 0;
    QTimer m_requestTimer;
    QTimer m_idleTimer;
    QTimer m_lingerTimer;
};

} // namespace itinerary
