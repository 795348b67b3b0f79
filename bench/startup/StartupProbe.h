#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QtGui/qwindowdefs.h>

class QWidget;

namespace itinerary::bench {

// The moments of one start-up, in milliseconds since the parent's clock reading right before
// it started this process (CLOCK_MONOTONIC is the same clock in both).
//
// Watching a window records: "painted" (its first paint), "up" (the event loop about to wait
// after that paint: the window is usable), and "final" (the same, after the last time the
// window got a new native window: a window that is re-created after it appeared flickers, and
// is final only once its last native window has been painted).
class StartupProbe final : public QObject {
public:
    explicit StartupProbe(qint64 startNs);

    // Records the moment `name` now (the first time only).
    void mark(const QString &name);
    void watch(QWidget *window);
    // How many native windows the watched window has had.
    int nativeWindowCount() const { return m_nativeWindows; }
    // "name=value ..." in the order marked, then "windows=N".
    QString report() const;

    static qint64 monotonicNs();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paintedAfterCreation();
    double sinceStart() const;

    qint64 m_startNs;
    QList<QPair<QString, double>> m_marks;
    QWidget *m_window = nullptr;
    int m_nativeWindows = 0;
    WId m_lastId = 0;
};

} // namespace itinerary::bench
