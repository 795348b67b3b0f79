#include "ServiceProcess.h"

#include <QFile>
#include <QUrl>

#include <csignal>
#include <sys/types.h>

using namespace Qt::StringLiterals;

namespace itinerary::load {

std::unique_ptr<ServiceProcess> ServiceProcess::start(const QString &program, QString *error,
                                                      const QStringList &arguments,
                                                      const QProcessEnvironment &environment) {
    std::unique_ptr<ServiceProcess> service(new ServiceProcess);
    service->m_process = std::make_unique<QProcess>();
    QProcess &process = *service->m_process;
    // Its warnings go where ours go, so a crash report is not lost.
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setProcessEnvironment(environment);
    process.start(program, QStringList{u"--listen"_s, u"127.0.0.1:0"_s} + arguments);
    if (!process.waitForStarted(10000)) {
        *error = u"cannot start %1: %2"_s.arg(program, process.errorString());
        return nullptr;
    }
    while (!process.canReadLine() && process.waitForReadyRead(20000)) {
    }
    const QByteArray firstLine = process.readLine().trimmed();
    const QUrl base = QUrl::fromEncoded(firstLine, QUrl::StrictMode);
    if (!base.isValid() || base.port() <= 0) {
        *error =
            u"%1 printed no base address (got \"%2\")"_s.arg(program, QString::fromUtf8(firstLine));
        return nullptr;
    }
    service->m_port = quint16(base.port());
    service->m_pid = process.processId();
    return service;
}

ServiceProcess::ServiceProcess(quint16 port, qint64 pid)
    : m_port(port)
    , m_pid(pid) {}

ServiceProcess::~ServiceProcess() {
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

bool ServiceProcess::running() const {
    if (m_process)
        return m_process->state() == QProcess::Running;
    QFile stat(u"/proc/%1/stat"_s.arg(m_pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // pid (comm) state ...: the state follows the last ')'.
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close > 0 && close + 2 < line.size() && line.at(close + 2) != 'Z';
}

std::optional<qint64> ServiceProcess::statusKiB(const char *key) const {
    QFile status(u"/proc/%1/status"_s.arg(m_pid));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (!line.startsWith(prefix))
            continue;
        // "VmRSS:	   12345 kB"
        const QByteArray number = line.sliced(prefix.size()).trimmed().split(' ').value(0);
        bool ok = false;
        const qint64 kib = number.toLongLong(&ok);
        return ok ? std::optional<qint64>(kib) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<qint64> ServiceProcess::residentKiB() const {
    return statusKiB("VmRSS");
}

std::optional<qint64> ServiceProcess::peakResidentKiB() const {
    return statusKiB("VmHWM");
}

bool ServiceProcess::stop(QString *error) {
    if (!m_process) {
        ::kill(pid_t(m_pid), SIGTERM);
        return true;
    }
    m_process->terminate(); // SIGTERM
    if (!m_process->waitForFinished(10000)) {
        *error = u"the service did not end within 10 s of SIGTERM"_s;
        return false;
    }
    if (m_process->exitStatus() != QProcess::NormalExit || m_process->exitCode() != 0) {
        *error = u"the service ended badly on SIGTERM (%1, status %2)"_s
                     .arg(m_process->exitStatus() == QProcess::NormalExit ? u"exit"_s : u"crash"_s)
                     .arg(m_process->exitCode());
        return false;
    }
    return true;
}

} // namespace itinerary::load
