#pragma once

#include "sheet/Twips.h"

#include <QList>
#include <QStringView>

// Where the itinerary sheet stands on the main window: the place of each field and the
// labels with their captions, in twips. The sheet is laid out like the printed form, so the
// receipt's default layout was drawn from these places too.
namespace itinerary {

// The place of field `index` on the window's client area; field 4 lies outside it.
TwipRect fieldRect(int index);

struct SheetLabel {
    QStringView caption;
    TwipRect rect;
    bool centred = false; // the segment column headers are centred in their boxes
};

// The labels of the sheet, with their captions and places.
const QList<SheetLabel> &sheetLabels();

} // namespace itinerary
