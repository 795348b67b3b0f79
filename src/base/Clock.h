#pragma once

#include <QDate>
#include <QDateTime>

namespace itinerary {

// Today's date and the current time, behind an interface so tests can set them.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime now)
        : m_now(std::move(now)) {}
    explicit FixedClock(QDate today)
        : m_now(today, QTime(9, 30, 0)) {}
    QDateTime now() const override { return m_now; }
    void setNow(const QDateTime &now) { m_now = now; }

private:
    QDateTime m_now;
};

} // namespace itinerary
