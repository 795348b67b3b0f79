#pragma once

namespace itinerary {

class Itinerary;

// The two procedures every import runs first, in this order.

// Disables "上一位" (previous passenger), then "下一位" (next passenger).
void disablePassengerButtons(Itinerary &sheet);

// Empties the fields an import writes: 0, 1, 3 to 29 (field 4 follows 3 through the mirror),
// 34, and the fourth row's data fields and the final city (50 to 57), so that no earlier
// booking's fourth segment survives. The endorsement (2), the fares, the check code, the
// agency fields and the validity columns 42 to 49 keep their text.
void clearImportedFields(Itinerary &sheet);

} // namespace itinerary
