#pragma once

#include "sheet/Passenger.h"
#include "textimport/PassengerOrdinal.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

namespace itinerary {

// An e-ticket number and the ordinal of the passenger its element names.
struct ElementTicket {
    Ordinal ordinal = NoOrdinal;
    QString number; // empty when the element gives none
    bool operator==(const ElementTicket &) const = default;
};

// The ticket-number elements of a booking display, read once.
struct TicketElements {
    // ".TN/" pieces, each cut at its first "/P" (without one it gives no number), in text
    // order, the number ending at its own line; those starting with "IN/" are an infant's,
    // read after it.
    QList<ElementTicket> passengerPieces;
    QList<ElementTicket> infantPieces;
    // "SSR TKNE " elements with a well-formed number on their first line, named by the digits
    // after the last "/P" of the element read whole over the lines it wraps onto
    // (WrappedElement.h); an "INF" number is an infant's.
    QList<ElementTicket> passengerElements;
    QList<ElementTicket> infantElements;
};

TicketElements readTicketElements(QStringView text);

// The e-ticket number of a "SSR TKNE " element's first line: the last blank-separated token
// before the line's first "/", when it is 13 ASCII digits ("8801664816611" gives
// 880-1664816611) or "INF" and 13 digits (`infant` set). Empty otherwise.
QString ticketElementNumber(QStringView line, bool *infant);

// Gives the passengers of the name section (ordinals from 1) their e-ticket numbers: each
// passenger's ".TN/" piece gives its number to the passenger its ordinal names, first piece
// first (a single passenger takes the first such piece whatever its ordinal); a passenger
// still without a number takes it from the first "SSR TKNE " element naming it (a single
// passenger: an element without ordinal names it too).
void assignTicketNumbers(const TicketElements &tickets, PassengerList &passengers);

// The e-ticket number of each infant by the ordinal of the passenger it travels with: the
// first infant ".TN/IN/" piece with that ordinal, else the first infant "SSR TKNE " element
// with it.
QHash<Ordinal, QString> infantTicketsByOrdinal(const TicketElements &tickets);

} // namespace itinerary
