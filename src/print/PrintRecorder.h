#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace itinerary {

// One press of "打印" as it ended: printed, or not printed with the message the operator saw.
struct PrintAttempt {
    QDateTime time;
    bool printed = false;
    // What the operator was told; empty when the receipt was printed.
    QString message;
    // The 59 sheet texts the request was made with (for a job stopped by a check, the texts
    // at the click), untrimmed, in index order.
    QStringList fieldValues;
    qint16 intlFlag = 0;
    // The check code of this form: field 35 before the request advanced it.
    QString checkCode;
    // The offsets in millimetres as typed, when the page went (or would have gone) out.
    QString leftOffsetMm;
    QString topOffsetMm;
    QString printerName;
};

// Where the print job accounts for every attempt; the print journal implements it. The call
// must return quickly and must not fail the print: recording problems are the recorder's.
class PrintRecorder {
public:
    virtual ~PrintRecorder() = default;
    virtual void recordPrintAttempt(const PrintAttempt &attempt) = 0;
};

} // namespace itinerary
