#include "CounterCore.h"

#include "FormPagePdf.h"
#include "WebLog.h"
#include "WebPrinters.h"

#include "base/Messages.h"
#include "desk/PrintDesk.h"
#include "print/PassengerSteps.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/ReceiptCopy.h"
#include "print/ReceiptPictures.h"
#include "print/pdf/ReceiptCopyPdf.h"
#include "sheet/Itinerary.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {

// The print job asks the rendering service at this address; here the service is this
// process (InProcessPictureLoader reads the same address).
const QString PrintAddress = u"/Print/print.asp"_s;

// The print job of one request: the sheet, the offsets, the in-process picture and the
// printer given. Failures are the caller's to tell; the job only accounts for them.
struct RequestPrintJob {
    RequestPrintJob(Itinerary &sheet, const ReceiptRenderer &renderer, ReceiptPrinter &printer,
                    PictureBytes bytes, const Clock &clock)
        : loader(renderer, bytes)
        , pictures(loader, clock)
        , job(sheet, position, pictures, printer, messages, clock) {
        pictures.setPrintUrl(PrintAddress);
        job.setReportsFailures(false);
        job.setRecorder(&attempts);
    }

    PrintPosition position;
    InProcessPictureLoader loader;
    ReceiptPictures pictures;
    RecordingMessages messages;
    AttemptList attempts;
    PrintJob job;
};

} // namespace

CounterCore::CounterCore(const PrintDesk &desk)
    : m_desk(desk)
    , m_renderer(std::make_shared<const ReceiptRenderer>(desk.formLayout())) {
    // The first picture loads the fonts (tens of milliseconds): not in a counter's request.
    m_renderer->renderPng({u"0"_s});
}

void CounterCore::importBookingDisplay(const QString &text, Itinerary &sheet,
                                       Messages &messages) const {
    m_desk.importBooking(text, sheet, messages);
}

int CounterCore::receiptCount(const Itinerary &sheet, bool everyEntry) {
    return everyEntry ? PassengerSteps::entryCount(sheet) : 1;
}

PrintOutcome CounterCore::print(Itinerary &sheet, const QString &leftOffsetMm,
                                const QString &topOffsetMm, ReceiptPrinter &printer,
                                bool everyEntry) const {
    // Its pictures go only into PDFs.
    RequestPrintJob run(sheet, *m_renderer, printer, PictureBytes::Bitmap, m_desk.clock());
    run.position.setLeftOffsetMm(leftOffsetMm);
    run.position.setTopOffsetMm(topOffsetMm);

    // Entry by entry as "全部打印…" goes; nobody moves the offsets between the request and
    // the print here, so each print follows its request at once rather than on the
    // window's timer.
    PassengerSteps steps(sheet);
    PrintOutcome outcome;
    QEventLoop loop;
    QObject::connect(&steps, &PassengerSteps::entryReady, &loop, [&run] {
        run.job.requestPrint();
        if (run.job.printArmed())
            run.job.printArmedReceipt();
    });
    QObject::connect(&run.job, &PrintJob::jobEnded, &steps, &PassengerSteps::entryDone);
    QObject::connect(&steps, &PassengerSteps::finished, &loop,
                     [&outcome, &loop](const StepsOutcome &steps_) {
                         outcome.printed = steps_.done;
                         outcome.failed = steps_.failed;
                         outcome.message = steps_.message;
                         loop.quit();
                     });
    steps.start(everyEntry);
    if (steps.isRunning())
        loop.exec();
    outcome.attempts = run.attempts.attempts();
    return outcome;
}

QByteArray CounterCore::previewPng(Itinerary &sheet) const {
    // A picture load only reads the sheet.
    BrowserPagePrinter nowhere;
    RequestPrintJob run(sheet, *m_renderer, nowhere, PictureBytes::Png, m_desk.clock());
    QByteArray png;
    run.pictures.load(sheet, nullptr, [&png](const QByteArray &picture) { png = picture; });
    return png;
}

std::optional<QByteArray> CounterCore::copyPdf(Itinerary &sheet, bool everyEntry,
                                               QString *error) const {
    BrowserPagePrinter nowhere;
    RequestPrintJob run(sheet, *m_renderer, nowhere, PictureBytes::Png, m_desk.clock());
    ReceiptCopyRun copy(sheet, run.pictures);
    QEventLoop loop;
    StepsOutcome outcome;
    QObject::connect(&copy, &ReceiptCopyRun::finished, &loop,
                     [&outcome, &loop](const StepsOutcome &steps) {
                         outcome = steps;
                         loop.quit();
                     });
    copy.start(everyEntry);
    if (copy.isRunning())
        loop.exec();
    if (outcome.failed) {
        *error = receiptCopyFailureMessage(outcome);
        return std::nullopt;
    }
    // The copy is written the way the window saves it, to a file of its own, then read.
    QTemporaryDir folder;
    const QString path = folder.filePath(u"copy.pdf"_s);
    if (!folder.isValid()) {
        *error = u"无法生成PDF副本"_s;
        return std::nullopt;
    }
    if (const Result<> saved = saveReceiptCopyPdf(path, copy.pictures(), layout()); !saved) {
        *error = saved.error();
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"无法读取PDF副本"_s;
        return std::nullopt;
    }
    return file.readAll();
}

QByteArray CounterCore::calibrationPdf(int leftTwips, int topTwips) const {
    return formPagePdf({FormPage{m_renderer->calibrationPng(), leftTwips, topTwips}}, u"校准页"_s);
}

} // namespace itinerary::web
