#include "StartupProbe.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <ctime>

using namespace Qt::StringLiterals;

namespace itinerary::bench {

StartupProbe::StartupProbe(qint64 startNs)
    : m_startNs(startNs) {
    mark(u"main"_s);
}

qint64 StartupProbe::monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double StartupProbe::sinceStart() const {
    return double(monotonicNs() - m_startNs) / 1e6;
}

void StartupProbe::mark(const QString &name) {
    for (const auto &[known, ms] : std::as_const(m_marks)) {
        if (known == name)
            return;
    }
    m_marks.append({name, sinceStart()});
}

void StartupProbe::watch(QWidget *window) {
    m_window = window;
    window->installEventFilter(this);
}

bool StartupProbe::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_window)
        return false;
    if (event->type() != QEvent::Paint || m_window->windowHandle() == nullptr)
        return false;
    // A new native window (the widget's, or the platform window under the same QWindow)
    // shows in the id it paints on.
    const WId id = m_window->windowHandle()->winId();
    if (id != m_lastId) {
        m_lastId = id;
        ++m_nativeWindows;
        paintedAfterCreation();
    }
    return false;
}

// The first paint of the window's current native window; the moment the event loop next
// waits is when the operator can use it.
void StartupProbe::paintedAfterCreation() {
    mark(u"painted"_s);
    const bool first = m_nativeWindows <= 1;
    connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
        [this, first] {
            if (first)
                mark(u"up"_s);
            // The last native window's first idle wins.
            m_marks.removeIf([](const auto &m) { return m.first == u"final"_s; });
            mark(u"final"_s);
        },
        Qt::SingleShotConnection);
}

QString StartupProbe::report() const {
    QStringList parts;
    for (const auto &[name, ms] : m_marks)
        parts.append(u"%1=%2"_s.arg(name, QString::number(ms, 'f', 1)));
    parts.append(u"windows=%1"_s.arg(m_nativeWindows));
    return parts.join(u' ');
}

} // namespace itinerary::bench
