#pragma once

#include "sheet/Passenger.h"

#include <QString>
#include <QStringView>

namespace itinerary {

// The document number of an identity element ("SSR FOID ") from its text before the "/P":
// the identity-card number after "NI" (up to a second "NI", unchanged); without "NI", the
// last blank-separated token when it starts with "PP" (passport) or "ID", without those two
// letters ("CA HK1 PPE1234567" gives E1234567). Empty otherwise.
QString identityElementNumber(QStringView beforeOrdinal);

// The passport number of a document element ("SSR DOCS ") from its first line after the
// marker: the third "/" item, trimmed of blanks
// ("AC HK1 P/CHN/E00000001/CHN/22DEC89/M/04SEP22/SU/DONG/P1" gives E00000001). Empty when
// the line has fewer items, and for an infant's document (sex "MI" or "FI", the sixth item),
// which belongs on the infant's receipt, not on the passenger's it travels with.
QString documentElementNumber(QStringView line);

// Gives the passengers of the name section (in list order, ordinals from 1) their identity
// document numbers. Each identity element ("SSR FOID ", cut at its first "/P") gives its
// number to the passenger its ordinal names, in text order, unless that passenger already has
// one; a single passenger takes the first element whatever its ordinal. A passenger still
// without a number takes the first passport number of a document element ("SSR DOCS ") whose
// first line's last "/P" names it (a single passenger: of any document element).
void assignIdentityNumbers(QStringView text, PassengerList &passengers);

} // namespace itinerary
