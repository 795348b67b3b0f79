#pragma once

#include <QByteArrayList>
#include <QtGlobal>

#include <chrono>

namespace itinerary {

// What an HTTP server accepts from one client before it answers 4xx or cuts the connection,
// so that no request, however malformed or slow, can take the server down.
struct HttpLimits {
    qsizetype maxRequestLine = 64 * 1024; // longer: 414
    qsizetype maxHeaderBytes = 64 * 1024; // the header lines together; more: 431
    int maxHeaderLines = 100;             // more: 431
    qsizetype maxBodyBytes = 0;           // 0: no request body at all; more: 413
    QByteArrayList methods{"GET"};        // others: 405
    // From a request's first byte to its end; slower: 408.
    std::chrono::milliseconds requestTimeout{10'000};
    // A new connection that has not sent a byte within this (or within idleTimeout, when
    // that is shorter) is closed.
    std::chrono::milliseconds firstByteTimeout{5'000};
    // A kept-alive connection with nothing to do is closed after this.
    std::chrono::milliseconds idleTimeout{30'000};
    // After a 4xx that closes the connection, what the client still sends is read and
    // dropped for this long (so it sees the answer rather than a reset), then it is cut.
    std::chrono::milliseconds lingerTimeout{2'000};
    // An answer the client does not take within this cuts the connection.
    std::chrono::milliseconds writeTimeout{30'000};
    int maxConnections = 256; // further connections are closed at once
    // Connections one client address may hold open at once; further ones are closed at once,
    // so that one client cannot take every connection.
    int maxConnectionsPerAddress = 32;
    // Requests of one connection handed to the handler and not answered yet. At this many
    // the server reads no further request of that connection until an answer has gone.
    int maxPendingPerConnection = 16;
};

} // namespace itinerary
