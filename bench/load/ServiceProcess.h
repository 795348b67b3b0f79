#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace itinerary::load {

// A real service process (itinerary-render, itinerary-web), as an agency runs it: either
// started here on a free loopback port, or one that is already running (started under a
// measuring tool, say).
class ServiceProcess final {
public:
    // Starts `program --listen 127.0.0.1:0 arguments...` in `environment` and reads the base
    // address it prints first.
    static std::unique_ptr<ServiceProcess>
    start(const QString &program, QString *error, const QStringList &arguments = {},
          const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    // A service that runs already, listening on loopback at `port`, with process id `pid`.
    ServiceProcess(quint16 port, qint64 pid);
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess &) = delete;
    ServiceProcess &operator=(const ServiceProcess &) = delete;

    quint16 port() const { return m_port; }
    qint64 pid() const { return m_pid; }
    // Still alive (not exited, not a zombie).
    bool running() const;
    // The resident size (VmRSS) and its peak so far (VmHWM), in KiB; nothing when the
    // process is gone.
    std::optional<qint64> residentKiB() const;
    std::optional<qint64> peakResidentKiB() const;
    // Sends SIGTERM, as systemd does to stop the service, and waits. True when it ended with
    // status 0. A service that was attached to is only signalled.
    bool stop(QString *error);

private:
    ServiceProcess() = default;
    std::optional<qint64> statusKiB(const char *key) const;

    std::unique_ptr<QProcess> m_process; // only for a service started here
    quint16 m_port = 0;
    qint64 m_pid = 0;
};

} // namespace itinerary::load
