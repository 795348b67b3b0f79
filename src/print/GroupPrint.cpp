#include "print/GroupPrint.h"

#include "print/PrintJob.h"
#include "print/PrintMessages.h"

using namespace Qt::StringLiterals;

namespace itinerary {

GroupPrint::GroupPrint(Itinerary &sheet, PrintJob &job, QObject *parent)
    : QObject(parent)
    , m_job(job)
    , m_steps(sheet) {
    connect(&m_steps, &PassengerSteps::entryReady, this, &GroupPrint::printEntry);
    connect(&m_steps, &PassengerSteps::cancelRequestedChanged, this,
            &GroupPrint::cancelRequestedChanged);
    connect(&m_steps, &PassengerSteps::finished, this, &GroupPrint::runFinished);
    connect(&m_job, &PrintJob::jobEnded, this, &GroupPrint::jobEnded);
}

void GroupPrint::start() {
    if (m_steps.isRunning() || !m_job.printEnabled())
        return;
    m_job.setReportsFailures(m_jobReportsFailures);
    m_steps.start();
}

void GroupPrint::printEntry(int number, int count, const QString &name) {
    m_number = number;
    m_count = count;
    Q_EMIT receiptStarting(number, count, name);
    // The job ignores a click while a print of its own is pending; the run would wait for
    // an end that never comes.
    if (!m_job.printEnabled())
        return m_steps.entryDone(false, printmessages::JobBusy.toString());
    m_waitingForJob = true;
    // A job that stops at once (a check, no picture) ends inside this call.
    m_job.requestPrint();
}

void GroupPrint::jobEnded(bool printed, const QString &message) {
    // Only the jobs of this run; a print started elsewhere is none of its business.
    if (!m_waitingForJob)
        return;
    m_waitingForJob = false;
    if (printed)
        Q_EMIT receiptPrinted(m_number, m_count);
    m_steps.entryDone(printed, message);
}

void GroupPrint::runFinished(const StepsOutcome &outcome) {
    m_job.setReportsFailures(true);
    Q_EMIT finished(outcome);
}

QString groupPrintFailureMessage(const StepsOutcome &outcome) {
    return u"%1\n%2的行程单未打印；已打印 %3/%4 张。"_s
        .arg(outcome.message, failedEntryText(outcome))
        .arg(outcome.done)
        .arg(outcome.count);
}

QString groupPrintCancelledMessage(const StepsOutcome &outcome) {
    return u"全部打印已取消：已打印 %1/%2 张。"_s.arg(outcome.done).arg(outcome.count);
}

QString groupPrintProgressText(int number, int count, const QString &name) {
    return u"正在打印 %1/%2：%3"_s.arg(number).arg(count).arg(name);
}

} // namespace itinerary
