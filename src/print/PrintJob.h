#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;

namespace itinerary {

class Clock;
class Itinerary;
class Messages;
class PrintPosition;
class PrintRecorder;
class ReceiptPictures;
class ReceiptPrinter;

// The print flow of one sheet: the Print button "打印", the request to the rendering
// service, the receipt picture it returns (asynchronously: the caller's event loop runs
// meanwhile) and, about 100 ms after it has arrived, from a one-shot timer, the print at the
// offsets the operator has set by then.
//
// The check code (field 35) advances only for a picture that reaches the printer: a job that
// stops at a check, gets no picture back, has an unusable offset or finds no printer leaves
// the code as it was before the request, and the button usable again.
class PrintJob final : public QObject {
    Q_OBJECT

public:
    PrintJob(Itinerary &sheet, PrintPosition &position, const ReceiptPictures &pictures,
             ReceiptPrinter &printer, Messages &messages, const Clock &clock,
             QObject *parent = nullptr);

    // Where every attempt is accounted for when it ends (printed, or not with its message);
    // none by default.
    void setRecorder(PrintRecorder *recorder) { m_recorder = recorder; }

    // Whether "打印" is usable: false from a click to the end of its job.
    bool printEnabled() const { return m_printEnabled; }

    // The last rendered picture as encoded bytes; empty when the last request got none.
    QByteArray receiptPicture() const { return m_receiptPicture; }

    // True while the request waits for its picture.
    bool pictureLoading() const { return m_pictureLoading; }
    // True while a print waits for its timer tick.
    bool printArmed() const;

    // Whether the job shows its failures to the operator itself (the default). A caller that
    // runs several jobs in a row and reports a failure its own way (with the passenger it
    // was for) turns this off for the run; jobEnded() carries the message either way.
    bool reportsFailures() const { return m_reportsFailures; }
    void setReportsFailures(bool reports) { m_reportsFailures = reports; }

    // The Print button: makes printing unusable, then checks the record code mirror (field
    // 4), the check code (field 35) and both offsets and sends the request. When the picture
    // arrives it is kept, the print timer armed and the check code advanced. Every failure
    // is shown to the operator and makes printing usable again. Ignored while printing is
    // unusable.
    void requestPrint();

    // The print timer's tick: prints the kept picture at the current offsets and makes
    // printing usable again.
    void printArmedReceipt();

    // Drops an armed print without printing (the window is shutting down); nothing else
    // changes.
    void dropArmedPrint();

Q_SIGNALS:
    void printEnabledChanged(bool enabled);
    // A job that the Print button started has ended, printing usable again: its picture
    // reached the printer, or it stopped with `message` (also shown to the operator unless
    // the job does not report failures). A print dropped at shut-down does not end this way.
    void jobEnded(bool printed, const QString &message);
    void receiptPictureChanged();

private:
    void sendPrintRequest();
    void pictureArrived(const QByteArray &picture, double checkCode);
    void setPrintEnabled(bool enabled);
    void setReceiptPicture(const QByteArray &picture);
    // Puts back the check code of the request whose print failed, tells the operator and
    // makes "打印" usable again.
    void abandonArmedPrint(const QString &message);
    void fail(const QString &message);
    // The sheet as the attempt starts, for the recorder.
    void beginAttempt();
    void recordAttempt(bool printed, const QString &message);

    Itinerary &m_sheet;
    PrintPosition &m_position;
    const ReceiptPictures &m_pictures;
    ReceiptPrinter &m_printer;
    Messages &m_messages;
    const Clock &m_clock;
    QTimer *m_printDelay; // the one-shot timer between the request and the print
    bool m_printEnabled = true;
    bool m_pictureLoading = false;
    bool m_reportsFailures = true;
    QByteArray m_receiptPicture;
    // Field 35 as it was before the armed request advanced it.
    QString m_checkCodeBefore;
    PrintRecorder *m_recorder = nullptr;
    QStringList m_attemptValues;
    qint16 m_attemptIntlFlag = 0;
};

} // namespace itinerary
