#pragma once

#include "http/HttpLimits.h"

namespace itinerary {

// What the rendering service accepts before it answers 4xx or 503 or cuts a connection: the
// HTTP limits (GET only, no request body), and how many pictures may wait to be drawn.
struct ServiceLimits : HttpLimits {
    int maxRendersInFlight = 256; // over the whole service; more: 503
    // Requests of one connection the service works on at once; the connection's further
    // pipelined requests wait unread until one is answered. So the clients of one address
    // (at most maxConnectionsPerAddress connections) cannot fill the service's queue.
    int maxRendersPerConnection = 4;
};

} // namespace itinerary
