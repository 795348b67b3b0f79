#pragma once

#include <QtGlobal>

#include <chrono>

namespace itinerary {

// What the rendering service accepts from one client before it answers 4xx or cuts the
// connection, so that no request, however malformed or slow, can take it down.
struct ServiceLimits {
    qsizetype maxRequestLine = 64 * 1024; // longer: 414
    qsizetype maxHeaderBytes = 64 * 1024; // the header lines together; more: 431
    int maxHeaderLines = 100;             // more: 431
    // From a request's first byte to the end of its header lines; slower: 408.
    std::chrono::milliseconds requestTimeout{10'000};
    // A kept-alive connection with nothing to do is closed after this.
    std::chrono::milliseconds idleTimeout{30'000};
    // After a 4xx that closes the connection, what the client still sends is read and
    // dropped for this long (so it sees the answer rather than a reset), then it is cut.
    std::chrono::milliseconds lingerTimeout{2'000};
    int maxConnections = 256;         // further connections are closed at once
    int maxPendingPerConnection = 16; // pipelined requests not yet answered; more: cut
    int maxRendersInFlight = 256;     // over the whole service; more: 503
};

} // namespace itinerary
