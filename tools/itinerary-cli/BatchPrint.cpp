#include "BatchPrint.h"

#include "print/GroupPrint.h"
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

} // namespace

QByteArray ReceiptLine::toTsv() const {
    return (QString::number(number) + u'\t' + oneLine(name) + u'\t' + oneLine(ticketNumber) +
            u'\t' + oneLine(checkCode) + u'\n')
        .toUtf8();
}

bool printEveryPassenger(Itinerary &sheet, PrintJob &job, const BatchPrintHooks &hooks) {
    GroupPrint group(sheet, job);
    ReceiptLine line;
    QObject::connect(&group, &GroupPrint::receiptStarting, &group, [&](int number) {
        line = lineOf(sheet, number);
        if (hooks.aboutToPrint)
            hooks.aboutToPrint(line);
    });
    QObject::connect(&group, &GroupPrint::receiptPrinted, &group, [&] {
        if (hooks.printed)
            hooks.printed(line);
    });
    bool everyOne = false;
    QEventLoop loop;
    QObject::connect(&group, &GroupPrint::finished, &loop, [&](const StepsOutcome &outcome) {
        everyOne = !outcome.failed && outcome.done == outcome.count;
        loop.quit();
    });
    group.start();
    if (group.isRunning())
        loop.exec();
    return everyOne;
}

} // namespace itinerary::cli
