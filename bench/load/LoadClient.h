#pragma once

#include "LoadResult.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <chrono>
#include <memory>
#include <vector>

namespace itinerary::load {

struct LoadOptions {
    quint16 port = 0;
    int connections = 32;
    std::chrono::milliseconds duration{10'000};
    // Each connection asks the service to close after this many requests and connects
    // again, so connections come and go during the run as counters open and close them.
    int requestsPerConnection = 25;
    // A request not answered within this counts as failed.
    std::chrono::milliseconds answerTimeout{10'000};
};

// A bounded load on the rendering service over loopback: `connections` clients at once, each
// sending a receipt request as soon as the previous answer has arrived, until the duration has
// passed; then the answers still due are awaited (at most the answer time-out). Every answer
// must be a 200 with the receipt picture. Runs on the calling thread's event loop.
class LoadClient final : public QObject {
public:
    explicit LoadClient(const LoadOptions &options, QObject *parent = nullptr);
    ~LoadClient() override;

    LoadResult run();

private:
    class Connection;
    friend class Connection;

    void answered(double latencyMs);
    void failed(const QString &reason);
    bool sending() const;
    int nextSerial() { return m_serial++; }
    void connectionIdle();

    LoadOptions m_options;
    std::vector<std::unique_ptr<Connection>> m_connections;
    LoadResult m_result;
    QElapsedTimer m_clock;
    bool m_running = false;
    int m_serial = 0;
};

} // namespace itinerary::load
