#pragma once

#include "base/Result.h"
#include "journal/JournalEntry.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <memory>

namespace itinerary {

class JournalDatabase;

// Rows that could not be written to the journal's database yet, kept in a small SQLite file
// of their own in the settings folder until they are sent. A row stays here until the
// database has it, so a crash between the two ends in a second send, which the database
// ignores (the row's id is unique there).
class JournalOutbox final {
public:
    ~JournalOutbox();
    JournalOutbox(const JournalOutbox &) = delete;
    JournalOutbox &operator=(const JournalOutbox &) = delete;

    // On the calling thread; why not, when the file cannot be used.
    static Result<std::unique_ptr<JournalOutbox>> open(const QString &path);

    Result<> add(const JournalEntry &entry);
    // How many rows wait.
    Result<qint64> pendingCount();

    struct SendResult {
        int sent = 0;
        bool complete = false; // nothing is left waiting
        QString error;         // why the rest is still waiting
    };
    // Sends the waiting rows, oldest first, removing each once the database has it.
    SendResult sendTo(JournalDatabase &database);

private:
    explicit JournalOutbox(QSqlDatabase db);

    QString m_connectionName;
    QSqlDatabase m_db;
    QString m_path;
};

} // namespace itinerary
