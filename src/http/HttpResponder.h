#pragma once

#include "http/HttpMessage.h"

#include <QtGlobal>

#include <memory>

namespace itinerary {

class HttpConnection;

// Where the answer to one request goes. It may be copied to another thread and used there;
// answers are written in request order whatever order they come in. An answer for a client
// that has gone is dropped. Holding a responder keeps nothing of the server alive.
class HttpResponder final {
public:
    // Sends the answer (once; later calls are ignored by the connection).
    void send(HttpResponse response) const;
    // Whether an answer can still reach the client: false once its connection has closed
    // (the client closed it or was cut off, or the server stopped), so that work for it can
    // be skipped.
    bool connectionOpen() const;

private:
    friend class HttpConnection;
    HttpResponder(std::weak_ptr<HttpConnection> connection, quint64 sequence)
        : m_connection(std::move(connection))
        , m_sequence(sequence) {}

    std::weak_ptr<HttpConnection> m_connection;
    quint64 m_sequence = 0;
};

} // namespace itinerary
