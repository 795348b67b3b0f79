#pragma once

#include "http/HttpLimits.h"

#include <chrono>

namespace itinerary::web {

// How long a session lives, how the login lock-out counts and how many connections one
// address may hold. Settable on the command line, so that tests need not wait half an hour
// and an agency behind its proxy (every connection from the proxy's address) is not capped.
struct WebPolicy {
    std::chrono::milliseconds sessionIdle{std::chrono::minutes(30)};
    std::chrono::milliseconds sessionMaximum{std::chrono::hours(12)};
    std::chrono::milliseconds lockOut{std::chrono::minutes(1)};
    int failuresBeforeLock = 5;
    int connectionsPerAddress = HttpLimits().maxConnectionsPerAddress;
};

} // namespace itinerary::web
