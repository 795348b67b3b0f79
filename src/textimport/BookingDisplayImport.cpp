#include "textimport/BookingDisplayImport.h"

#include "base/Messages.h"
#include "sheet/Itinerary.h"
#include "textimport/FareImport.h"
#include "textimport/ImportProcedures.h"
#include "textimport/PassengerImport.h"
#include "textimport/ScreenRows.h"
#include "textimport/SegmentImport.h"
#include "textimport/TextCutting.h"

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// The history display of a booking cancelled whole: nothing in it is to be flown.
constexpr QStringView CancelledMark = u"THIS PNR WAS ENTIRELY CANCELLED";

} // namespace

void importBookingDisplay(const QString &text, Itinerary &sheet, Messages &messages,
                          const Clock &clock, const CodeTables &codes) {
    sheet.setCurrentPassenger(0);
    disablePassengerButtons(sheet);
    clearImportedFields(sheet);
    if (text.isEmpty())
        return;

    const QString withoutControls = dropControlCharacters(text);
    if (withoutControls.contains(CancelledMark)) {
        messages.showMessage(u"该订座记录已全部取消"_s, u"错误提示"_s);
        return;
    }
    const QString display = splitJoinedScreenRows(normaliseLineEnds(withoutControls));
    const QList<QStringView> pieces = cutAtSegmentMarkers(display);
    if (pieces.size() < 2) {
        messages.showMessage(u"没有找到航段信息"_s, u"错误提示"_s);
        return;
    }
    const QList<QStringView> flights = flightLines(pieces.mid(1));
    if (flights.isEmpty()) {
        messages.showMessage(u"没有找到航段信息"_s, u"错误提示"_s);
        return;
    }
    importSegments(flights, sheet, clock, codes);
    const QList<FareElement> fares = readFareElements(display);
    importFares(fares, sheet);
    importPassengers(display, pieces.front(), fares, sheet, messages);
}

} // namespace itinerary
