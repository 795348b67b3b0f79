#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace itinerary {
class GroupPrint;
class Itinerary;
} // namespace itinerary

namespace itinerary::cli {

// One receipt as the sheet sends it: the values of the name, e-ticket number and check code
// fields without their leading and trailing blanks.
struct ReceiptLine {
    int number = 0; // from 1, in passenger list order
    QString name;
    QString ticketNumber;
    QString checkCode;

    // "<number>\t<name>\t<e-ticket number>\t<check code>\n" in UTF-8. A tab or line end
    // inside a value becomes a space, so that every receipt stays one line of four columns.
    QByteArray toTsv() const;
};

struct BatchPrintHooks {
    // Before the request of each receipt (for example to title the printer job).
    std::function<void(const ReceiptLine &)> aboutToPrint;
    // After each receipt has gone to the printer.
    std::function<void(const ReceiptLine &)> printed;
};

// Prints one receipt per passenger of the sheet's list, in list order, with the window's
// group printing: each through the print job as the Print button does it, the print from
// the job's timer about 100 ms later, so the event loop must run until the run ends. The job
// advances the check code after each and reports a failure itself.
//
// Stops at the first receipt the job could not print; `finished` then gets false, and true
// when every passenger's receipt was printed.
void printEveryPassenger(GroupPrint &group, const Itinerary &sheet, const BatchPrintHooks &hooks,
                         std::function<void(bool everyOne)> finished);

} // namespace itinerary::cli
