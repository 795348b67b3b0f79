#include "journal/PrintJournal.h"

#include "base/Messages.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalMessages.h"
#include "journal/JournalOutbox.h"
#include "journal/JournalSender.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// "itinerary.journal": rows the journal could not take, and why; the operator is told once,
// the log has every occurrence.
Q_LOGGING_CATEGORY(journalLog, "itinerary.journal", QtInfoMsg)

} // namespace

QString PrintJournal::keptLocallyMessage(const QString &reason) {
    return journalmessages::KeptLocally.toString() + reason;
}

PrintJournal::PrintJournal(JournalSettings settings, Messages &messages, WaitingRows waiting,
                           QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
    , m_messages(messages) {
    if (m_settings.database.isServer() && m_settings.problem.isEmpty()) {
        m_senderThread.setObjectName(u"journal sender"_s);
        m_sender = new JournalSender(m_settings.database, m_settings.outboxPath);
        m_sender->moveToThread(&m_senderThread);
        connect(m_sender, &JournalSender::roundFinished, this, &PrintJournal::senderRoundFinished);
        m_senderThread.start();
    }
    if (waiting == WaitingRows::SendNow)
        sendWaiting();
}

PrintJournal::~PrintJournal() {
    // Rows that nothing took yet get one more try at the outbox before the program ends.
    if (const Result<> kept = keepUnsaved(); !kept)
        qCWarning(journalLog, "%d rows were not kept: %s", int(m_unsaved.size()),
                  qUtf8Printable(kept.error()));
    if (m_sender != nullptr) {
        QMetaObject::invokeMethod(m_sender, &JournalSender::shutDown, Qt::BlockingQueuedConnection);
        m_senderThread.quit();
        m_senderThread.wait();
        delete m_sender;
    }
}

void PrintJournal::recordPrintAttempt(const PrintAttempt &attempt) {
    const JournalEntry entry = JournalEntry::fromAttempt(attempt, m_settings.counterName);
    if (m_sender == nullptr) {
        recordLocally(entry);
        return;
    }
    // Kept on this machine first, then sent by the sender's thread.
    Result<> kept = keepUnsaved();
    if (kept)
        kept = keep(entry);
    if (!kept) {
        tellOnce(journalmessages::NotKept.toString().arg(kept.error()));
        return;
    }
    QMetaObject::invokeMethod(m_sender, &JournalSender::sendWaiting, Qt::QueuedConnection);
}

Result<> PrintJournal::openDatabase() {
    if (m_database)
        return succeeded();
    if (!m_settings.problem.isEmpty())
        return Result<>::failure(m_settings.problem);
    Result<std::unique_ptr<JournalDatabase>> opened =
        JournalDatabase::open(m_settings.database, JournalDatabase::Access::ReadWrite);
    if (!opened)
        return Result<>::failure(opened.error());
    m_database = *std::move(opened);
    return succeeded();
}

Result<> PrintJournal::openOutbox() {
    if (m_outbox)
        return succeeded();
    Result<std::unique_ptr<JournalOutbox>> opened = JournalOutbox::open(m_settings.outboxPath);
    if (!opened)
        return Result<>::failure(opened.error());
    m_outbox = *std::move(opened);
    return succeeded();
}

void PrintJournal::recordLocally(const JournalEntry &entry) {
    Result<> stored = openDatabase();
    if (stored) {
        // Rows that nothing took before go first, in the order they were printed.
        while (!m_unsaved.isEmpty() && (stored = m_database->insert(m_unsaved.first())))
            m_unsaved.removeFirst();
        if (m_unsaved.isEmpty() && (stored = m_database->insert(entry))) {
            if (sendLocalOutbox())
                m_told = false;
            return;
        }
        // Opened afresh next time: the file may have been replaced or made writable again.
        m_database.reset();
    }
    Result<> kept = keepUnsaved();
    if (kept)
        kept = keep(entry);
    if (!kept) {
        tellOnce(journalmessages::NotKept.toString().arg(kept.error()));
        return;
    }
    tellOnce(keptLocallyMessage(stored.error()));
}

bool PrintJournal::sendLocalOutbox() {
    if (!m_outboxMayHoldRows)
        return true;
    if (!m_outbox) {
        if (!QFileInfo::exists(m_settings.outboxPath)) {
            m_outboxMayHoldRows = false;
            return true;
        }
        if (!openOutbox())
            return false;
    }
    const JournalOutbox::SendResult result = m_outbox->sendTo(*m_database);
    m_outboxMayHoldRows = !result.complete;
    Q_EMIT sendingFinished(result.complete);
    return result.complete;
}

Result<> PrintJournal::keep(const JournalEntry &entry) {
    Result<> kept = openOutbox();
    if (kept)
        kept = m_outbox->add(entry);
    if (kept) {
        m_outboxMayHoldRows = true;
        return kept;
    }
    m_outbox.reset();
    m_unsaved.append(entry);
    return kept;
}

Result<> PrintJournal::keepUnsaved() {
    while (!m_unsaved.isEmpty()) {
        const JournalEntry first = m_unsaved.takeFirst();
        if (const Result<> kept = keep(first); !kept) {
            // keep() put it at the end; back to the front, in print order.
            m_unsaved.prepend(m_unsaved.takeLast());
            return kept;
        }
    }
    return succeeded();
}

void PrintJournal::tellOnce(const QString &message) {
    qCWarning(journalLog, "%s", qUtf8Printable(message));
    if (m_told)
        return;
    m_told = true;
    m_messages.showMessage(message);
}

void PrintJournal::sendWaiting() {
    if (m_sender != nullptr) {
        QMetaObject::invokeMethod(m_sender, &JournalSender::sendWaiting, Qt::QueuedConnection);
        return;
    }
    if (openDatabase() && sendLocalOutbox())
        m_told = false;
}

void PrintJournal::sendAll(const QObject *context, std::function<void(bool complete)> done) {
    const QPointer<const QObject> guard(context);
    const auto answer = [this, guard, done](bool complete) {
        QMetaObject::invokeMethod(
            this,
            [guard, done, complete] {
                if (guard)
                    done(complete);
            },
            Qt::QueuedConnection);
    };
    if (m_sender == nullptr) {
        sendWaiting();
        return answer(m_database && !m_outboxMayHoldRows && m_unsaved.isEmpty());
    }
    if (!m_unsaved.isEmpty())
        return answer(false);
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(m_sender, &JournalSender::roundFinished, this,
                          [this, answer, connection](bool sent, int, const QString &) {
                              // A round that began before the last row was kept may end
                              // "complete"; the outbox itself says whether anything still
                              // waits.
                              const bool complete = sent && outboxEmpty();
                              if (sent && !complete)
                                  return;
                              disconnect(*connection);
                              answer(complete);
                          });
    sendWaiting();
}

bool PrintJournal::outboxEmpty() {
    if (!m_outbox && !QFileInfo::exists(m_settings.outboxPath))
        return true;
    if (!openOutbox())
        return false;
    const Result<qint64> pending = m_outbox->pendingCount();
    return pending && *pending == 0;
}

void PrintJournal::senderRoundFinished(bool complete, int, const QString &error) {
    if (complete)
        m_told = false;
    else
        tellOnce(keptLocallyMessage(error));
    Q_EMIT sendingFinished(complete);
}

} // namespace itinerary
