#pragma once

#include "journal/DatabaseAddress.h"

#include <QObject>
#include <QString>

#include <memory>

class QTimer;

namespace itinerary {

class JournalDatabase;
class JournalOutbox;

// Moves the outbox's rows to a database server, on a thread of its own: a server that is
// slow, down or unreachable holds this thread, never the counter's window. It has its own
// connections to both (Qt SQL connections belong to the thread that opened them).
class JournalSender final : public QObject {
    Q_OBJECT

public:
    JournalSender(DatabaseAddress database, QString outboxPath);
    ~JournalSender() override;

    // On the sender's thread: sends every waiting row; while rows stay behind, tries again
    // every `RetryIntervalMs`.
    void sendWaiting();
    // On the sender's thread, before it stops: closes both connections.
    void shutDown();

    static constexpr int RetryIntervalMs = 60000;

Q_SIGNALS:
    // After each round: whether nothing waits any more, and why rows stay behind.
    void roundFinished(bool complete, int sent, const QString &error);

private:
    DatabaseAddress m_address;
    QString m_outboxPath;
    std::unique_ptr<JournalDatabase> m_database;
    std::unique_ptr<JournalOutbox> m_outbox;
    QTimer *m_retry = nullptr;
};

} // namespace itinerary
