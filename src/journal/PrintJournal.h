#pragma once

#include "journal/JournalEntry.h"
#include "journal/JournalSettings.h"
#include "print/PrintRecorder.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QThread>

#include <functional>
#include <memory>

namespace itinerary {

class JournalDatabase;
class JournalOutbox;
class JournalSender;
class Messages;

// The print journal as the print job sees it: every attempt becomes one row, and no
// attempt waits for a database or fails because of one.
//
// On the local SQLite file the row is written at once (a fraction of a millisecond). When
// that fails (the file is locked, read-only, the disk full) the row goes to the outbox in
// the settings folder, and the waiting rows follow the next row that the file takes, or
// the next start. On a server the row always goes to the outbox first and a sender on its
// own thread moves it on, so a server that is down or does not answer costs the counter
// nothing. Either way the operator is told once, when rows start to be kept back, not at
// every receipt; after the database has taken everything, a new outage is told again.
class PrintJournal final : public QObject, public PrintRecorder {
    Q_OBJECT

public:
    // When the rows an earlier run kept back are sent, and with it the local database opened:
    // at once, or when the owner calls sendWaiting() (the window does once it has been
    // painted, as opening the database would hold up its first paint). A print attempt before
    // that opens the database itself.
    enum class WaitingRows { SendNow, SendLater };

    // The journal that `settings` name.
    PrintJournal(JournalSettings settings, Messages &messages,
                 WaitingRows waiting = WaitingRows::SendNow, QObject *parent = nullptr);
    ~PrintJournal() override;

    void recordPrintAttempt(const PrintAttempt &attempt) override;

    const JournalSettings &settings() const { return m_settings; }
    // Sends what waits in the outbox.
    void sendWaiting();
    // Sends what waits, then calls `done` from the event loop (unless `context` has gone by
    // then): true once every row is in the database, false when sending failed. A caller
    // that must not wait for ever bounds the wait itself.
    void sendAll(const QObject *context, std::function<void(bool complete)> done);

    static QString keptLocallyMessage(const QString &reason);

Q_SIGNALS:
    // A round of sending has ended (the window's journal view may refresh).
    void sendingFinished(bool complete);

private:
    void recordLocally(const JournalEntry &entry);
    // The local database, opened when it is not yet.
    Result<> openDatabase();
    // Opens the outbox when it is not yet.
    Result<> openOutbox();
    bool sendLocalOutbox();
    // Keeps the row for later; fails when not even the outbox takes it.
    Result<> keep(const JournalEntry &entry);
    Result<> keepUnsaved();
    void tellOnce(const QString &message);
    bool outboxEmpty();
    void senderRoundFinished(bool complete, int sent, const QString &error);

    JournalSettings m_settings;
    Messages &m_messages;
    std::unique_ptr<JournalDatabase> m_database;
    std::unique_ptr<JournalOutbox> m_outbox;
    // Rows that neither the database nor the outbox took; tried again at the next print.
    QList<JournalEntry> m_unsaved;
    bool m_outboxMayHoldRows = true;
    bool m_told = false;
    QThread m_senderThread;
    JournalSender *m_sender = nullptr;
};

} // namespace itinerary
