// A counter's values and everything that prints: GET /api/counter, POST /api/counter/offsets,
// POST /api/counter/check-code, POST /api/print, POST /api/print/group, POST /api/calibration,
// POST /api/preview, POST /api/copy.
#include "ApiCall.h"
#include "CounterCore.h"
#include "CounterValues.h"
#include "FormPagePdf.h"
#include "WebLog.h"
#include "WebPrinters.h"
#include "WebSheet.h"

#include "print/PrintOffsets.h"
#include "print/ReceiptCopy.h"
#include "sheet/Itinerary.h"

#include <QJsonArray>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {

// The journal's outcome of a receipt that went to the counter's browser as a PDF.
const QString SentToBrowser = u"sent to the browser"_s;
const QString ReceiptTitle = u"行程单"_s;

void takeSheet(ApiCall &call, Itinerary &sheet) {
    QString error;
    if (!readSheet(call.body().value(u"sheet"_s), sheet, &error))
        throw ApiRefusal{400, error};
}

HttpResponse pdfAnswer(const QByteArray &pdf) {
    return HttpResponse{200, "application/pdf", pdf, {}};
}

HttpResponse counterAnswer(const CounterRecord &counter) {
    return jsonAnswer(counterJson(counter, false));
}

HttpResponse getCounter(ApiCall &call) {
    return counterAnswer(call.usableCounter(call.queryValue(u"name"_s)));
}

HttpResponse setOffsets(ApiCall &call) {
    CounterRecord counter = call.usableCounter(call.text(u"counter"_s));
    counter.leftOffsetMm = checkedOffset(call.text(u"left"_s));
    counter.topOffsetMm = checkedOffset(call.text(u"top"_s));
    if (!call.store().setOffsets(counter.name, counter.leftOffsetMm, counter.topOffsetMm))
        throw ApiRefusal{404, u"找不到柜台 %1"_s.arg(counter.name)};
    return counterAnswer(counter);
}

HttpResponse setCheckCode(ApiCall &call) {
    CounterRecord counter = call.usableCounter(call.text(u"counter"_s));
    counter.checkCode = checkedCheckCode(call.text(u"checkCode"_s));
    if (!call.store().setCheckCode(counter.name, counter.checkCode))
        throw ApiRefusal{404, u"找不到柜台 %1"_s.arg(counter.name)};
    return counterAnswer(counter);
}

// Prints the request's sheet (every entry with `everyEntry`) at its counter: the check codes
// are taken from the counter first, the ones not used are given back, every attempt leaves
// a journal row with the counter and the user.
HttpResponse printSheet(ApiCall &call, bool everyEntry) {
    const CounterRecord counter = call.usableCounter(call.text(u"counter"_s));
    Itinerary sheet;
    takeSheet(call, sheet);
    const int count = CounterCore::receiptCount(sheet, everyEntry);
    WebStore &store = call.store();
    const std::optional<CheckCodeReservation> codes = store.reserveCheckCodes(counter.name, count);
    if (!codes)
        throw ApiRefusal{409, u"柜台 %1 的验证码不正确，请先设置验证码"_s.arg(counter.name)};
    sheet.setText(Field::CheckCode, codes->codes.constFirst());

    const bool toQueue = !counter.queue.isEmpty();
    BrowserPagePrinter browser;
    // The queue shows which counter's forms and codes a job is, never whose receipt.
    CupsQueuePrinter queue(
        counter.queue, u"%1-%2-%3"_s.arg(ReceiptTitle, counter.name, codes->codes.constFirst()));
    ReceiptPrinter &printer = toQueue ? static_cast<ReceiptPrinter &>(queue) : browser;
    const PrintOutcome outcome = call.context().core.print(
        sheet, counter.leftOffsetMm, counter.topOffsetMm, printer, everyEntry);

    // A queue keeps what it printed; the browser gets all pages or none, so a run that
    // stopped half-way delivered nothing and only its failure is accounted for.
    QByteArray pdf;
    if (!toQueue && !outcome.failed) {
        pdf = formPagePdf(browser.pages(), ReceiptTitle);
        if (pdf.isEmpty()) {
            store.giveBackCheckCodes(counter.name, codes->next, codes->codes.constFirst());
            throw ApiRefusal{500, u"无法生成PDF"_s};
        }
    }
    QList<PrintAttempt> attempts = outcome.attempts;
    if (!toQueue && outcome.failed && !attempts.isEmpty())
        attempts = {attempts.constLast()};
    const int used = toQueue || !outcome.failed ? outcome.printed : 0;
    try {
        if (used < count)
            store.giveBackCheckCodes(counter.name, codes->next, codes->codes.at(used));
        for (const PrintAttempt &attempt : std::as_const(attempts)) {
            JournalEntry entry = JournalEntry::fromAttempt(attempt, counter.name);
            entry.userName = call.sessionUser().name;
            if (!toQueue && attempt.printed)
                entry.message = SentToBrowser;
            store.insertJournalEntry(entry);
        }
    } catch (const StoreFailure &) {
        // Without its rows the PDF does not leave: the codes go back if they still can.
        if (!toQueue)
            store.giveBackCheckCodes(counter.name, codes->next, codes->codes.constFirst());
        throw;
    }

    if (outcome.failed) {
        if (toQueue && !queue.failure().isEmpty()) {
            qCWarning(webLog, "printing on %s failed: %s", qUtf8Printable(counter.queue),
                      qUtf8Printable(queue.failure()));
            throw ApiRefusal{502, outcome.message};
        }
        throw ApiRefusal{400, outcome.message};
    }
    const QStringList printed = codes->codes.mid(0, used);
    if (toQueue) {
        QJsonObject answer{{u"checkCode"_s, printed.constFirst()},
                           {u"nextCheckCode"_s, codes->next},
                           {u"printer"_s, counter.queue},
                           {u"printed"_s, true}};
        if (everyEntry)
            answer.insert(u"checkCodes"_s, QJsonArray::fromStringList(printed));
        return jsonAnswer(answer);
    }
    HttpResponse answer = pdfAnswer(pdf);
    addHeader(answer, "X-Check-Code", printed.constFirst().toLatin1());
    addHeader(answer, "X-Next-Check-Code", codes->next.toLatin1());
    if (everyEntry)
        addHeader(answer, "X-Check-Codes", printed.join(u',').toLatin1());
    return answer;
}

HttpResponse print(ApiCall &call) {
    return printSheet(call, false);
}

HttpResponse printGroup(ApiCall &call) {
    return printSheet(call, true);
}

HttpResponse calibration(ApiCall &call) {
    const CounterRecord counter = call.usableCounter(call.text(u"counter"_s));
    const std::optional<int> left = offsetTwips(counter.leftOffsetMm);
    const std::optional<int> top = offsetTwips(counter.topOffsetMm);
    if (!left || !top)
        throw ApiRefusal{400, u"打印位置不正确"_s};
    return pdfAnswer(call.context().core.calibrationPdf(*left, *top));
}

HttpResponse preview(ApiCall &call) {
    Itinerary sheet;
    takeSheet(call, sheet);
    const QByteArray png = call.context().core.previewPng(sheet);
    if (png.isEmpty())
        throw ApiRefusal{500, u"打印服务没有返回图片"_s};
    return HttpResponse{200, "image/png", png, {}};
}

HttpResponse copy(ApiCall &call) {
    Itinerary sheet;
    takeSheet(call, sheet);
    const QJsonValue all = call.body().value(u"all"_s);
    if (!all.isUndefined() && !all.isBool())
        throw ApiRefusal{400, refusal::Malformed + u"：all 必须是 true 或 false"_s};
    const QString fileName = receiptCopyFileName(sheet);
    QString error;
    const std::optional<QByteArray> pdf = call.context().core.copyPdf(sheet, all.toBool(), &error);
    if (!pdf)
        throw ApiRefusal{500, error};
    HttpResponse answer = pdfAnswer(*pdf);
    addHeader(answer, "Content-Disposition",
              "attachment; filename=\"copy.pdf\"; filename*=UTF-8''" +
                  QUrl::toPercentEncoding(fileName));
    return answer;
}

} // namespace

QList<Endpoint> printEndpoints() {
    return {
        {"GET", "/api/counter", Access::Session, getCounter},
        {"POST", "/api/counter/offsets", Access::Session, setOffsets},
        {"POST", "/api/counter/check-code", Access::Session, setCheckCode},
        {"POST", "/api/print", Access::Session, print},
        {"POST", "/api/print/group", Access::Session, printGroup},
        {"POST", "/api/calibration", Access::Session, calibration},
        {"POST", "/api/preview", Access::Session, preview},
        {"POST", "/api/copy", Access::Session, copy},
    };
}

} // namespace itinerary::web
