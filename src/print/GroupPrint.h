#pragma once

#include "print/PassengerSteps.h"

#include <QObject>
#include <QString>

namespace itinerary {

class Itinerary;
class PrintJob;

// Prints a whole booking, one receipt per passenger-list entry from the first to the last,
// each through the print job exactly as the Print button does it (the same checks, request,
// timer, offsets and check code advance); the next receipt starts when the job has printed
// the last one. The sheet shows each entry before its receipt, so it ends on the last
// printed one. The first receipt the job cannot print ends the run; those already printed
// stay printed.
class GroupPrint final : public QObject {
    Q_OBJECT

public:
    GroupPrint(Itinerary &sheet, PrintJob &job, QObject *parent = nullptr);

    // Whether the job shows a failure itself (the default) or leaves it to the owner, who
    // has the outcome and can name the passenger (see groupPrintFailureMessage).
    void setJobReportsFailures(bool reports) { m_jobReportsFailures = reports; }

    bool isRunning() const { return m_steps.isRunning(); }
    bool cancelRequested() const { return m_steps.cancelRequested(); }

    // Starts the run; ignored while one runs or while the job is busy with a print.
    void start();
    // Stops after the receipt in progress.
    void cancel() { m_steps.cancel(); }

Q_SIGNALS:
    // The sheet shows entry `number` of `count`, whose request goes out next.
    void receiptStarting(int number, int count, const QString &name);
    // That receipt reached the printer.
    void receiptPrinted(int number, int count);
    void cancelRequestedChanged();
    void finished(const itinerary::StepsOutcome &outcome);

private:
    void printEntry(int number, int count, const QString &name);
    void jobEnded(bool printed, const QString &message);
    void runFinished(const StepsOutcome &outcome);

    PrintJob &m_job;
    PassengerSteps m_steps;
    bool m_jobReportsFailures = true;
    bool m_waitingForJob = false;
    int m_number = 0;
    int m_count = 0;
};

// What the operator is told when a run stopped: the job's own message, then whose receipt
// was not printed and how many were.
QString groupPrintFailureMessage(const StepsOutcome &outcome);
// What the operator is told when a run was cancelled.
QString groupPrintCancelledMessage(const StepsOutcome &outcome);
// The progress line of receipt `number` of `count`: "正在打印 k/n：<name>".
QString groupPrintProgressText(int number, int count, const QString &name);

} // namespace itinerary
