#include "print/PrintJob.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "print/CheckCode.h"
#include "print/GeneralNumber.h"
#include "print/PictureLoader.h"
#include "print/PrintOffsets.h"
#include "print/PrintPosition.h"
#include "print/PrintRecorder.h"
#include "print/PrintRequest.h"
#include "print/ReceiptPrinter.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"

#include <QTimer>

namespace itinerary {

using namespace Qt::StringLiterals;

namespace {
const QString NoRecordCode = u"请填写PNR"_s;
const QString NoCheckCode = u"请填写验证码!"_s;
const QString BadCheckCode = u"验证码不正确"_s;
const QString BadPosition = u"打印位置不正确"_s;
const QString NoPicture = u"打印服务没有返回图片，未打印"_s;
const QString NoPrinter = u"没有可用的默认打印机"_s;
// For the journal only: the window closed between the request and the print.
const QString DroppedAtClose = u"窗口关闭，未打印"_s;

constexpr int PrintDelayMs = 100;
} // namespace

PrintJob::PrintJob(Itinerary &sheet, PrintPosition &position, PictureLoader &loader,
                   ReceiptPrinter &printer, Messages &messages, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_sheet(sheet)
    , m_position(position)
    , m_loader(loader)
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
        return fail(NoRecordCode);
    const QString code = trimBlanks(m_sheet.text(Field::CheckCode));
    if (code.isEmpty())
        return fail(NoCheckCode);
    const std::optional<double> codeValue = parseGeneralNumber(code);
    if (!codeValue)
        return fail(BadCheckCode);
    // An offset the printer cannot use is caught before anything is sent, so no picture is
    // requested for a page that could not be placed.
    if (!offsetTwips(m_position.leftOffsetMm()) || !offsetTwips(m_position.topOffsetMm()))
        return fail(BadPosition);

    setReceiptPicture(loadSheetPicture());
    // Without a picture nothing would be printed, so the form keeps its check code.
    if (m_receiptPicture.isEmpty())
        return fail(NoPicture);

    m_printDelay->start();
    m_checkCodeBefore = m_sheet.text(Field::CheckCode);
    m_sheet.setText(Field::CheckCode, nextCheckCode(*codeValue));
}

void PrintJob::printArmedReceipt() {
    // One request prints once.
    m_printDelay->stop();
    if (m_printEnabled)
        return; // no job is waiting for this tick

    // The offsets are read now: the operator may have moved them since the request.
    const std::optional<int> left = offsetTwips(m_position.leftOffsetMm());
    const std::optional<int> top = offsetTwips(m_position.topOffsetMm());
    if (!left || !top)
        return abandonArmedPrint(BadPosition);
    if (m_receiptPicture.isEmpty())
        return abandonArmedPrint(NoPicture);
    if (!m_printer.printPicture(m_receiptPicture, *left, *top))
        return abandonArmedPrint(NoPrinter);
    recordAttempt(true, QString());
    setPrintEnabled(true);
    Q_EMIT jobEnded(true, QString());
}

QByteArray PrintJob::loadSheetPicture() const {
    const QString address = printRequestAddress(m_printUrl, m_sheet.intlFlag(),
                                                joinFieldValues(m_sheet), m_clock.now());
    return m_loader.loadPicture(address);
}

void PrintJob::dropArmedPrint() {
    const bool armed = m_printDelay->isActive() && !m_printEnabled;
    m_printDelay->stop();
    if (armed)
        recordAttempt(false, DroppedAtClose);
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
