#include "BatchPrint.h"

#include "print/GroupPrint.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"

#include <memory>

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

void printEveryPassenger(GroupPrint &group, const Itinerary &sheet, const BatchPrintHooks &hooks,
                         std::function<void(bool everyOne)> finished) {
    auto line = std::make_shared<ReceiptLine>();
    QObject::connect(&group, &GroupPrint::receiptStarting, &group,
                     [&sheet, hooks, line](int number) {
                         *line = lineOf(sheet, number);
                         if (hooks.aboutToPrint)
                             hooks.aboutToPrint(*line);
                     });
    QObject::connect(&group, &GroupPrint::receiptPrinted, &group, [hooks, line] {
        if (hooks.printed)
            hooks.printed(*line);
    });
    auto ended = std::make_shared<bool>(false);
    QObject::connect(&group, &GroupPrint::finished, &group,
                     [finished, ended](const StepsOutcome &outcome) {
                         *ended = true;
                         finished(!outcome.failed && outcome.done == outcome.count);
                     });
    group.start();
    // A run that could not start ends here; one that stopped at once has answered already.
    if (!group.isRunning() && !*ended)
        finished(false);
}

} // namespace itinerary::cli
