#pragma once

#include "base/Messages.h"

#include <QString>

namespace itinerary::cli {

// What the window shows in a message box, written at once to standard error as
// "itinerary-cli: <command>: <text>" (the title is left out). Counted, so that a caller can
// tell whether a step reported a failure.
class StderrMessages final : public Messages {
public:
    explicit StderrMessages(QString command)
        : m_command(std::move(command)) {}

    void showMessage(const QString &text, const QString &title = QString()) override;
    int count() const { return m_count; }

private:
    QString m_command;
    int m_count = 0;
};

} // namespace itinerary::cli
