#include "journal/JournalSender.h"

#include "journal/JournalDatabase.h"
#include "journal/JournalOutbox.h"

#include <QFileInfo>
#include <QTimer>

namespace itinerary {

JournalSender::JournalSender(DatabaseAddress database, QString outboxPath)
    : m_address(std::move(database))
    , m_outboxPath(std::move(outboxPath)) {}

JournalSender::~JournalSender() = default;

void JournalSender::sendWaiting() {
    if (m_retry == nullptr) {
        m_retry = new QTimer(this);
        m_retry->setSingleShot(true);
        m_retry->setInterval(RetryIntervalMs);
        connect(m_retry, &QTimer::timeout, this, &JournalSender::sendWaiting);
    }
    m_retry->stop();
    if (!m_outbox) {
        // Nothing was ever kept back: nothing to send.
        if (!QFileInfo::exists(m_outboxPath)) {
            Q_EMIT roundFinished(true, 0, QString());
            return;
        }
        Result<std::unique_ptr<JournalOutbox>> opened = JournalOutbox::open(m_outboxPath);
        if (!opened) {
            m_retry->start();
            Q_EMIT roundFinished(false, 0, opened.error());
            return;
        }
        m_outbox = *std::move(opened);
    }
    // Twice: a connection that the server closed (a restart) fails its first statement,
    // and a new one may go through at once.
    JournalOutbox::SendResult result;
    for (int attempt = 0; attempt < 2 && !result.complete; ++attempt) {
        if (!m_database) {
            Result<std::unique_ptr<JournalDatabase>> opened =
                JournalDatabase::open(m_address, JournalDatabase::Access::ReadWrite);
            if (!opened) {
                result.error = opened.error();
                break;
            }
            m_database = *std::move(opened);
        }
        result = m_outbox->sendTo(*m_database);
        if (!result.complete)
            m_database.reset();
    }
    if (!result.complete)
        m_retry->start();
    Q_EMIT roundFinished(result.complete, result.sent, result.error);
}

void JournalSender::shutDown() {
    delete m_retry;
    m_retry = nullptr;
    m_database.reset();
    m_outbox.reset();
}

} // namespace itinerary
