#include "print/PrintJob.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "print/CheckCode.h"
#include "print/GeneralNumber.h"
#include "print/PrintMessages.h"
#include "print/PrintOffsets.h"
#include "print/PrintPosition.h"
#include "print/PrintRecorder.h"
#include "print/ReceiptPictures.h"
#include "print/ReceiptPrinter.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"

#include <QTimer>

namespace itinerary {

using namespace Qt::StringLiterals;

namespace {
constexpr int PrintDelayMs = 100;
} // namespace

using namespace printmessages;

PrintJob::PrintJob(Itinerary &sheet, PrintPosition &position, const ReceiptPictures &pictures,
                   ReceiptPrinter &printer, Messages &messages, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_sheet(sheet)
    , m_position(position)
    , m_pictures(pictures)
    , m_printer(printer)
    , m_messages(messages)
    , m_clock(clock)
    , m_printDelay(new QTimer(this)) {
    m_printDelay->setObjectName(u"printDelay"_s);
    m_printDelay->setInterval(PrintDelayMs);
    m_printDelay->setSingleShot(true);
    // Never earlier than the interval (a coarse timer may fire 5 % early).
    m_printDelay->setTimerType(Qt::PreciseTimer);
    connect(m_printDelay, &QTimer::timeout, this, &PrintJob::printArmedReceipt);
}

bool PrintJob::printArmed() const {
    return m_printDelay->isActive();
}

void PrintJob::requestPrint() {
    // The disabled button is the window's guard against a second job; the job keeps it too.
    if (!m_printEnabled)
        return;
    setPrintEnabled(false);
    sendPrintRequest();
}

void PrintJob::sendPrintRequest() {
    beginAttempt();
    if (m_sheet.text(Field::RecordCodeMirror).isEmpty())
        return fail(NoRecordCode.toString());
    const QString code = trimBlanks(m_sheet.text(Field::CheckCode));
    if (code.isEmpty())
        return fail(NoCheckCode.toString());
    const std::optional<double> codeValue = parseGeneralNumber(code);
    if (!codeValue)
        return fail(BadCheckCode.toString());
    // An offset the printer cannot use is caught before anything is sent, so no picture is
    // requested for a page that could not be placed.
    if (!offsetTwips(m_position.leftOffsetMm()) || !offsetTwips(m_position.topOffsetMm()))
        return fail(BadPosition.toString());

    m_pictureLoading = true;
    const double checkCode = *codeValue;
    m_pictures.load(m_sheet, this, [this, checkCode](const QByteArray &picture) {
        pictureArrived(picture, checkCode);
    });
}

void PrintJob::pictureArrived(const QByteArray &picture, double checkCode) {
    m_pictureLoading = false;
    setReceiptPicture(picture);
    // Without a picture nothing would be printed, so the form keeps its check code.
    if (m_receiptPicture.isEmpty())
        return fail(NoPicture.toString());

    m_printDelay->start();
    m_checkCodeBefore = m_sheet.text(Field::CheckCode);
    m_sheet.setText(Field::CheckCode, nextCheckCode(checkCode));
}

void PrintJob::printArmedReceipt() {
    // One request prints once.
    m_printDelay->stop();
    if (m_printEnabled || m_pictureLoading)
        return; // no job is waiting for this tick

    // The offsets are read now: the operator may have moved them since the request.
    const std::optional<int> left = offsetTwips(m_position.leftOffsetMm());
    const std::optional<int> top = offsetTwips(m_position.topOffsetMm());
    if (!left || !top)
        return abandonArmedPrint(BadPosition.toString());
    if (m_receiptPicture.isEmpty())
        return abandonArmedPrint(NoPicture.toString());
    if (!m_printer.printPicture(m_receiptPicture, *left, *top))
        return abandonArmedPrint(NoPrinter.toString());
    recordAttempt(true, QString());
    setPrintEnabled(true);
    Q_EMIT jobEnded(true, QString());
}

void PrintJob::dropArmedPrint() {
    const bool armed = m_printDelay->isActive() && !m_printEnabled;
    m_printDelay->stop();
    if (armed)
        recordAttempt(false, DroppedAtClose.toString());
}

void PrintJob::abandonArmedPrint(const QString &message) {
    m_sheet.setText(Field::CheckCode, m_checkCodeBefore);
    fail(message);
}

void PrintJob::fail(const QString &message) {
    // Accounted for before the message box, which may stay open for a while.
    recordAttempt(false, message);
    if (m_reportsFailures)
        m_messages.showMessage(message);
    setPrintEnabled(true);
    Q_EMIT jobEnded(false, message);
}

void PrintJob::beginAttempt() {
    m_attemptValues.clear();
    for (int i = 0; i < FieldCount; ++i)
        m_attemptValues.append(m_sheet.text(i));
    m_attemptIntlFlag = m_sheet.intlFlag();
}

void PrintJob::recordAttempt(bool printed, const QString &message) {
    if (m_recorder == nullptr)
        return;
    PrintAttempt attempt;
    attempt.time = m_clock.now();
    attempt.printed = printed;
    attempt.message = message;
    attempt.fieldValues = m_attemptValues;
    attempt.intlFlag = m_attemptIntlFlag;
    attempt.checkCode = m_attemptValues.value(Field::CheckCode);
    attempt.leftOffsetMm = m_position.leftOffsetMm();
    attempt.topOffsetMm = m_position.topOffsetMm();
    attempt.printerName = m_printer.printerName();
    m_recorder->recordPrintAttempt(attempt);
}

void PrintJob::setPrintEnabled(bool enabled) {
    if (m_printEnabled == enabled)
        return;
    m_printEnabled = enabled;
    Q_EMIT printEnabledChanged(enabled);
}

void PrintJob::setReceiptPicture(const QByteArray &picture) {
    if (m_receiptPicture.isEmpty() && picture.isEmpty())
        return;
    m_receiptPicture = picture;
    Q_EMIT receiptPictureChanged();
}

} // namespace itinerary
