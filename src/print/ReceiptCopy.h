#pragma once

#include "print/PassengerSteps.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

namespace itinerary {

class Itinerary;
class ReceiptPictures;

// The file name a copy of the sheet's receipt is offered under: "<record code>-<name>.pdf"
// from fields 3 and 0, with the characters a file name cannot hold ("/" in "ZHANG/SAN")
// replaced by "_"; "行程单.pdf" when both are empty.
QString receiptCopyFileName(const Itinerary &sheet);

// Collects the receipt pictures of a copy: the sheet as it stands, or every passenger-list
// entry stepped onto the sheet as group printing does it, each picture from the same
// request a print sends (ReceiptPictures), one after the other as they arrive. Nothing is
// printed and the check code does not advance. The first entry the service gives no picture
// for ends the run.
class ReceiptCopyRun final : public QObject {
    Q_OBJECT

public:
    ReceiptCopyRun(Itinerary &sheet, const ReceiptPictures &pictures, QObject *parent = nullptr);

    bool isRunning() const { return m_steps.isRunning(); }
    void start(bool everyEntry);
    void cancel() { m_steps.cancel(); }
    // The pictures of the last run, in entry order.
    const QList<QByteArray> &pictures() const { return m_collected; }

Q_SIGNALS:
    void pageStarting(int number, int count, const QString &name);
    void finished(const itinerary::StepsOutcome &outcome);

private:
    void loadEntry(int number, int count, const QString &name);
    void pictureArrived(const QByteArray &picture);

    Itinerary &m_sheet;
    const ReceiptPictures &m_pictures;
    PassengerSteps m_steps;
    QList<QByteArray> m_collected;
};

// What the operator is told when the service gave no picture for an entry of a copy.
QString receiptCopyFailureMessage(const StepsOutcome &outcome);

} // namespace itinerary
