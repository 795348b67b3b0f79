#pragma once

#include <QtGlobal>

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace itinerary {

// Which refusals get a log line: at most one per client address per window, so that a client
// that is refused thousands of times a second cannot flood the journal. The refusals that get
// no line are counted, and the count is told with the address's next line, or once its
// window has passed. Safe to use from several threads.
class RefusalLog final {
public:
    using Clock = std::chrono::steady_clock;

    explicit RefusalLog(Clock::duration window)
        : m_window(window) {}

    // Whether a refusal of `address` at `now` gets a line. When it does, `*untold` is how many
    // refusals of that address got none since its previous line; when it does not, this one
    // is counted.
    bool admit(const std::string &address, Clock::time_point now, qint64 *untold);

    // Forgets the addresses whose last line is at least a window old (every address when
    // `everything`), and returns those of them with refusals that got no line, and how many.
    std::vector<std::pair<std::string, qint64>> expire(Clock::time_point now,
                                                       bool everything = false);

    Clock::duration window() const { return m_window; }

private:
    struct Entry {
        Clock::time_point logged;
        qint64 untold = 0;
    };

    const Clock::duration m_window;
    std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
};

} // namespace itinerary
