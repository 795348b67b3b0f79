#include "BatchPrint.h"

#include "StderrMessages.h"

#include "print/PrintJob.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"

#include <QEventLoop>

namespace itinerary::cli {

namespace {
QString oneLine(QString text) {
    for (QChar &c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return text;
}

ReceiptLine lineOf(const Itinerary &sheet, int number) {
    return ReceiptLine{number, trimBlanks(sheet.text(Field::Name)),
                       trimBlanks(sheet.text(Field::TicketNumber)),
                       trimBlanks(sheet.text(Field::CheckCode))};
}

// The job re-enables printing when its timer has printed, or when it stopped with a message.
void waitForJobEnd(PrintJob &job) {
    if (job.printEnabled())
        return;
    QEventLoop loop;
    QObject::connect(&job, &PrintJob::printEnabledChanged, &loop, [&loop](bool enabled) {
        if (enabled)
            loop.quit();
    });
    loop.exec();
}
} // namespace

QByteArray ReceiptLine::toTsv() const {
    return (QString::number(number) + u'\t' + oneLine(name) + u'\t' + oneLine(ticketNumber) +
            u'\t' + oneLine(checkCode) + u'\n')
        .toUtf8();
}

bool printEveryPassenger(Itinerary &sheet, PrintJob &job, const StderrMessages &messages,
                         const BatchPrintHooks &hooks) {
    const int passengers = int(sheet.passengers().size());
    for (int row = 0; row < passengers; ++row) {
        if (row > 0)
            sheet.showNextPassenger();
        const ReceiptLine line = lineOf(sheet, row + 1);
        if (hooks.aboutToPrint)
            hooks.aboutToPrint(line);
        const int failuresBefore = messages.count();
        job.requestPrint();
        waitForJobEnd(job);
        if (messages.count() != failuresBefore)
            return false;
        if (hooks.printed)
            hooks.printed(line);
    }
    return true;
}

} // namespace itinerary::cli
