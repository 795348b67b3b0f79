#include "journal/Reprint.h"

#include "journal/JournalEntry.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

namespace itinerary {

void loadForReprint(const JournalEntry &entry, Itinerary &sheet) {
    sheet.setIntlFlag(entry.international ? 1 : 0);
    for (int i = 0; i < FieldCount && i < entry.fieldValues.size(); ++i) {
        if (i != Field::CheckCode)
            sheet.setText(i, entry.fieldValues.at(i));
    }
}

} // namespace itinerary
