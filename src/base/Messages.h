#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace itinerary {

// Operator-facing messages (a modal box with an OK button in the window). Parsers and jobs
// report through this interface and never open dialogs themselves.
class Messages {
public:
    virtual ~Messages() = default;
    // An empty title means the application's default title.
    virtual void showMessage(const QString &text, const QString &title = QString()) = 0;
};

// Keeps every message in order; used by the command-line tool and the tests.
class RecordingMessages final : public Messages {
public:
    struct Shown {
        QString title;
        QString text;
        bool operator==(const Shown &) const = default;
    };

    void showMessage(const QString &text, const QString &title = QString()) override {
        m_shown.append(Shown{title, text});
    }
    const QList<Shown> &shown() const { return m_shown; }
    void clear() { m_shown.clear(); }

private:
    QList<Shown> m_shown;
};

} // namespace itinerary
