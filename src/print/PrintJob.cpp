#include "print/PrintJob.h"

#include "print/CheckCode.h"
#include "print/GeneralNumber.h"
#include "print/PictureLoader.h"
#include "print/PrintOffsets.h"
#include "print/PrintPosition.h"
#include "print/PrintRecorder.h"
#include "print/PrintRequest.h"
#include "print/ReceiptPrinter.h"
#include "sheet/Clock.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/Messages.h"
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

constexpr int Timer2IntervalMs = 100;
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
    , m_timer2(new QTimer(this)) {
    m_timer2->setObjectName(u"Timer2"_s);
    m_timer2->setInterval(Timer2IntervalMs);
    m_timer2->setSingleShot(true);
    // Never earlier than the interval (a coarse timer may fire 5 % early).
    m_timer2->setTimerType(Qt::PreciseTimer);
    connect(m_timer2, &QTimer::timeout, this, &PrintJob::Timer2_Timer);
}

bool PrintJob::printArmed() const {
    return m_timer2->isActive();
}

void PrintJob::Command2_Click() {
    // The disabled button is the window's guard against a second job; the job keeps it too.
    if (!m_printEnabled)
        return;
    setPrintEnabled(false);
    PrintSheet();
}

void PrintJob::PrintSheet() {
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
    if (!offsetTwips(m_position.leftr()) || !offsetTwips(m_position.topb()))
        return fail(BadPosition);

    const QString address = printRequestAddress(m_printUrl, m_sheet.intlFlag(),
                                                JoinSheetFields(m_sheet), m_clock.now());
    setImage1(m_loader.LoadPictureFromUrl(address));
    // Without a picture nothing would be printed, so the form keeps its check code.
    if (m_image1.isEmpty())
        return fail(NoPicture);

    m_timer2->start();
    m_checkCodeBefore = m_sheet.text(Field::CheckCode);
    m_sheet.setText(Field::CheckCode, AdvanceCheckCode(*codeValue));
}

void PrintJob::Timer2_Timer() {
    // One request prints once.
    m_timer2->stop();
    if (m_printEnabled)
        return; // no job is waiting for this tick

    // The offsets are read now: the operator may have moved them since the request.
    const std::optional<int> left = offsetTwips(m_position.leftr());
    const std::optional<int> top = offsetTwips(m_position.topb());
    if (!left || !top)
        return abandonArmedPrint(BadPosition);
    if (m_image1.isEmpty())
        return abandonArmedPrint(NoPicture);
    if (!m_printer.printPicture(m_image1, *left, *top))
        return abandonArmedPrint(NoPrinter);
    recordAttempt(true, QString());
    setPrintEnabled(true);
}

void PrintJob::dropArmedPrint() {
    const bool armed = m_timer2->isActive() && !m_printEnabled;
    m_timer2->stop();
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
    m_messages.showMessage(message);
    setPrintEnabled(true);
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
    attempt.leftOffsetMm = m_position.leftr();
    attempt.topOffsetMm = m_position.topb();
    attempt.printerName = m_printer.printerName();
    m_recorder->recordPrintAttempt(attempt);
}

void PrintJob::setPrintEnabled(bool enabled) {
    if (m_printEnabled == enabled)
        return;
    m_printEnabled = enabled;
    Q_EMIT printEnabledChanged(enabled);
}

void PrintJob::setImage1(const QByteArray &picture) {
    if (m_image1.isEmpty() && picture.isEmpty())
        return;
    m_image1 = picture;
    Q_EMIT image1Changed();
}

} // namespace itinerary
