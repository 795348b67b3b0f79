#include "print/PassengerSteps.h"

#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"

#include <QTimer>

#include <limits>

using namespace Qt::StringLiterals;

namespace itinerary {

QString failedEntryText(const StepsOutcome &outcome) {
    if (outcome.failedName.isEmpty())
        return u"第%1位旅客"_s.arg(outcome.failedNumber);
    return u"%1（第%2位）"_s.arg(outcome.failedName).arg(outcome.failedNumber);
}

PassengerSteps::PassengerSteps(Itinerary &sheet, QObject *parent)
    : QObject(parent)
    , m_sheet(sheet) {}

int PassengerSteps::entryCount(const Itinerary &sheet) {
    const qsizetype size = sheet.passengers().size();
    // The buttons say whether the list belongs to the sheet: a verification import disables
    // both and leaves the old list behind, out of reach.
    const bool reachable =
        sheet.hasPassengerList() && (sheet.previousEnabled() || sheet.nextEnabled());
    if (!reachable || size < 2)
        return 1;
    // The current index is 16-bit: navigation reaches no further.
    return int(std::min<qsizetype>(size, qsizetype(std::numeric_limits<qint16>::max()) + 1));
}

void PassengerSteps::start(bool everyEntry) {
    if (m_running)
        return;
    m_running = true;
    m_cancelRequested = false;
    m_waiting = false;
    m_outcome = StepsOutcome{};
    m_outcome.count = everyEntry ? entryCount(m_sheet) : 1;
    if (m_outcome.count > 1) {
        // Back to the first entry as "上一位" goes, each step writing what navigation writes.
        while (m_sheet.currentPassenger() > 0) {
            const qint16 before = m_sheet.currentPassenger();
            m_sheet.showPreviousPassenger();
            if (m_sheet.currentPassenger() == before)
                break;
        }
    }
    bringUpNext();
}

void PassengerSteps::bringUpNext() {
    const int number = m_outcome.done + 1;
    // Entry 1 is the sheet as it stands (a list's first entry after the rewind).
    if (number > 1)
        m_sheet.showNextPassenger();
    m_currentName = trimBlanks(m_sheet.text(Field::Name));
    m_waiting = true;
    Q_EMIT entryReady(number, m_outcome.count, m_currentName);
}

void PassengerSteps::entryDone(bool ok, const QString &message) {
    if (!m_running || !m_waiting)
        return;
    m_waiting = false;
    if (!ok) {
        m_outcome.failed = true;
        m_outcome.failedNumber = m_outcome.done + 1;
        m_outcome.failedName = m_currentName;
        m_outcome.message = message;
        return finish();
    }
    ++m_outcome.done;
    if (m_outcome.done >= m_outcome.count)
        return finish();
    if (m_cancelRequested) {
        m_outcome.cancelled = true;
        return finish();
    }
    // From the event loop: the work's own caller unwinds first, and the window repaints.
    QTimer::singleShot(0, this, [this] {
        if (!m_running)
            return;
        if (m_cancelRequested) {
            m_outcome.cancelled = true;
            return finish();
        }
        bringUpNext();
    });
}

void PassengerSteps::cancel() {
    if (!m_running || m_cancelRequested)
        return;
    m_cancelRequested = true;
    Q_EMIT cancelRequestedChanged();
}

void PassengerSteps::finish() {
    m_running = false;
    m_waiting = false;
    Q_EMIT finished(m_outcome);
}

} // namespace itinerary
