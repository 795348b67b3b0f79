#include "textimport/ImportProcedures.h"

#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

namespace itinerary {

void disablePassengerButtons(Itinerary &sheet) {
    sheet.setPreviousEnabled(false);
    sheet.setNextEnabled(false);
}

void clearImportedFields(Itinerary &sheet) {
    for (int index : clearedBeforeImportFields())
        sheet.setText(index, QString());
}

} // namespace itinerary
