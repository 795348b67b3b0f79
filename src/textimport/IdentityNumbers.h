#pragma once

#include "sheet/Passenger.h"
#include "textimport/InfantImport.h"
#include "textimport/PassengerOrdinal.h"

#include <QList>
#include <QString>
#include <QStringList>
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

// A document element ("SSR DOCS "), read whole over the lines it wraps onto
// (WrappedElement.h): the passenger its last "/P" names, its passport number (the third "/"
// item of its first line, trimmed of blanks) and whether it is an infant's (sex "MI" or "FI").
struct DocumentElement {
    Ordinal ordinal = NoOrdinal;
    QString number;
    bool infant = false;
    bool operator==(const DocumentElement &) const = default;
};

QList<DocumentElement> readDocumentElements(QStringView text);

// Gives the passengers of the name section (in list order, ordinals from 1) their identity
// document numbers. Each identity element ("SSR FOID ", cut at its first "/P") gives its
// number (read on the element's own line) to the passenger its ordinal names, in text order,
// unless that passenger already has one; a single passenger takes the first element whatever
// its ordinal. A passenger still without a number takes the passport number of the first
// document element that is no infant's and names it (a single passenger: of any such
// element).
void assignIdentityNumbers(QStringView text, const QList<DocumentElement> &documents,
                           PassengerList &passengers);

// The passport number of each infant, in the infants' order: the infants' document elements
// naming a passenger go, in text order, to the infants travelling with that passenger, the
// first to the first; an infant left without one gets an empty number.
QStringList infantDocumentNumbers(const QList<DocumentElement> &documents,
                                  const QList<InfantElement> &infants);

} // namespace itinerary
