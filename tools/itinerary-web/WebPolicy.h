#pragma once

#include <chrono>

namespace itinerary::web {

// How long a session lives and how the login lock-out counts. Settable on the command line,
// so that tests need not wait half an hour.
struct WebPolicy {
    std::chrono::milliseconds sessionIdle{std::chrono::minutes(30)};
    std::chrono::milliseconds sessionMaximum{std::chrono::hours(12)};
    std::chrono::milliseconds lockOut{std::chrono::minutes(1)};
    int failuresBeforeLock = 5;
};

} // namespace itinerary::web
