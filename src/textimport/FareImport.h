#pragma once

#include <QStringView>

namespace itinerary {

class Itinerary;

// Fills the fare row from the fare line ("FN/A/FCNY" fare "/" ... "/TCNY" amount code ...
// "ACNY" total). Without a fare line the fare row keeps its text. With one:
// - the fare (30) is "CNY " and the amount as displayed, up to the first "/";
// - each "/TCNY" item is an amount followed by its tax code: the first CN item gives the
//   development fund (31), the first YQ item the fuel surcharge (32), and all other items sum
//   into the other taxes (58); an absent or exempt tax is 0.00, and all three are written;
// - the total (33) is "CNY " and the amount after "ACNY".
// Amounts are written with exactly two decimals (rounded half away from zero), so a tax of
// 10.50 stays 10.50 instead of being cut at its decimals.
void importFares(QStringView text, Itinerary &sheet);

} // namespace itinerary
