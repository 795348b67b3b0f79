// Booking displays come from the clipboard: any bytes must import without a crash, a hang or
// a sanitizer report, and the import must be repeatable. Importing the same text twice gives
// the same sheet as importing it once, because every import clears or rewrites what the
// previous one wrote. Dates without a year land within half a year of today. Fare rows go to
// the list's entries only when the booking prices them differently. No field, no text of the
// passenger list, holds a line end or another control character.
#include "FuzzTarget.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "base/TextEncoding.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"
#include "textimport/BookingDisplayImport.h"
#include "textimport/DateConversion.h"
#include "textimport/FareElements.h"
#include "textimport/ScreenRows.h"
#include "textimport/TextCutting.h"

#include <QByteArray>
#include <QDate>

#include <cstdint>
#include <cstdlib>

using namespace itinerary;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

struct SheetState {
    QStringList fields;
    bool hasList;
    PassengerList passengers;
    qint16 current;
    bool previous;
    bool next;
    bool operator==(const SheetState &) const = default;
};

SheetState stateOf(const Itinerary &sheet) {
    return {sheet.texts(),           sheet.hasPassengerList(),
            sheet.passengers(),      sheet.currentPassenger(),
            sheet.previousEnabled(), sheet.nextEnabled()};
}

bool isSingleLine(const QString &text) {
    for (QChar c : text) {
        if (c < u' ' || c == u'\x7f')
            return false;
    }
    return true;
}

void checkSingleLines(const SheetState &state) {
    for (const QString &field : state.fields)
        require(isSingleLine(field));
    for (const Passenger &p : state.passengers) {
        for (const QString *text : {&p.name, &p.idNumber, &p.ticketNumber})
            require(isSingleLine(*text));
        if (p.fares) {
            for (const QString *text :
                 {&p.fares->fare, &p.fares->developmentFund, &p.fares->fuelSurcharge,
                  &p.fares->otherTaxes, &p.fares->total})
                require(isSingleLine(*text));
        }
    }
}

void checkDate(const QString &text, const Clock &clock) {
    const QString trimmed = trimBlanks(text);
    const QString result = numericDate(text, clock);
    if (trimmed.size() == 7)
        return;
    const QDate date = QDate::fromString(result, QStringLiteral("yyyy-MM-dd"));
    if (date.isValid() && !(date.month() == 2 && date.day() == 29))
        require(std::abs(clock.today().daysTo(date)) <= 183);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = decodeUtf8OrGb18030(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    const FixedClock clock(QDate(2028, 2, 29));

    Itinerary sheet;
    RecordingMessages messages;
    importBookingDisplay(text, sheet, messages, clock);
    const SheetState once = stateOf(sheet);
    require(once.current == 0 && !once.previous);
    require(!once.next || once.passengers.size() >= 2);
    require(sheet.text(4) == trimBlanks(sheet.text(3)));
    require(messages.shown().size() <= 1);
    checkSingleLines(once);
    // Entries carry fare rows of their own exactly when the booking has several fare elements,
    // and the sheet shows the first entry's.
    const QString display = splitJoinedScreenRows(normaliseLineEnds(dropControlCharacters(text)));
    const bool ownFares = readFareElements(display).size() > 1;
    for (const Passenger &p : once.passengers)
        require(p.fares.has_value() == ownFares);
    if (ownFares && !once.passengers.isEmpty())
        require(sheet.text(33) == toUpperSimple(once.passengers.first().fares->total));

    importBookingDisplay(text, sheet, messages, clock);
    require(stateOf(sheet) == once);

    checkDate(text.left(16), clock);
    checkDate(text.left(16), FixedClock(QDate(2026, 12, 7)));
    return 0;
}
