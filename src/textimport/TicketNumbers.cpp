#include "textimport/TicketNumbers.h"

#include "textimport/TextCutting.h"
#include "textimport/WrappedElement.h"

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

constexpr QStringView TicketMarker = u".TN/";
constexpr QStringView InfantPrefix = u"IN/";
constexpr QStringView ElementMarker = u"SSR TKNE ";
constexpr QStringView InfantNumberPrefix = u"INF";
constexpr qsizetype TicketDigits = 13;

bool isTicketDigits(QStringView text) {
    if (text.size() != TicketDigits)
        return false;
    for (QChar c : text) {
        if (!isAsciiDigit(c))
            return false;
    }
    return true;
}

void giveTo(PassengerList &passengers, qsizetype at, const QString &number) {
    if (at >= 0 && passengers[at].ticketNumber.isEmpty())
        passengers[at].ticketNumber = number;
}

} // namespace

QString ticketElementNumber(QStringView line, bool *infant) {
    QStringView before = beforeMarker(line, u"/");
    while (!before.isEmpty() && before.back() == u' ')
        before.chop(1);
    QStringView token = before.mid(before.lastIndexOf(u' ') + 1);
    *infant = token.startsWith(InfantNumberPrefix);
    if (*infant)
        token = token.mid(InfantNumberPrefix.size());
    if (!isTicketDigits(token))
        return QString();
    QString number;
    number.reserve(TicketDigits + 1);
    number.append(token.left(3));
    number.append(u'-');
    number.append(token.mid(3));
    return number;
}

TicketElements readTicketElements(QStringView text) {
    TicketElements tickets;
    const QList<QStringView> pieces = cutText(text, TicketMarker);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QStringView piece = pieces[i];
        const bool infant = piece.startsWith(InfantPrefix);
        if (infant)
            piece = piece.mid(InfantPrefix.size());
        ElementTicket ticket;
        // The number ends at its line, whichever line the "/P" stands on.
        if (const std::optional<OrdinalSplit> split = splitAtFirstOrdinal(piece))
            ticket = ElementTicket{split->ordinal, firstLine(split->before).toString()};
        (infant ? tickets.infantPieces : tickets.passengerPieces).append(ticket);
    }
    const QList<QStringView> elements = cutText(text, ElementMarker);
    QString storage;
    for (qsizetype i = 1; i < elements.size(); ++i) {
        bool infant = false;
        const QString number = ticketElementNumber(firstLine(elements[i]), &infant);
        if (number.isEmpty())
            continue;
        const QStringView whole = joinedElement(elements[i], 0, elements[i].size(), storage);
        const std::optional<OrdinalSplit> split = splitAtLastOrdinal(whole);
        const ElementTicket ticket{split ? split->ordinal : NoOrdinal, number};
        (infant ? tickets.infantElements : tickets.passengerElements).append(ticket);
    }
    return tickets;
}

void assignTicketNumbers(const TicketElements &tickets, PassengerList &passengers) {
    const qsizetype count = passengers.size();
    if (count == 1) {
        if (!tickets.passengerPieces.isEmpty())
            passengers[0].ticketNumber = tickets.passengerPieces.first().number;
    } else {
        for (const ElementTicket &piece : tickets.passengerPieces) {
            if (!piece.number.isEmpty())
                giveTo(passengers, passengerPosition(piece.ordinal, count), piece.number);
        }
    }
    for (const ElementTicket &element : tickets.passengerElements) {
        const bool single = count == 1 && element.ordinal == NoOrdinal;
        giveTo(passengers, single ? 0 : passengerPosition(element.ordinal, count), element.number);
    }
}

QHash<Ordinal, QString> infantTicketsByOrdinal(const TicketElements &tickets) {
    QHash<Ordinal, QString> byOrdinal;
    for (const QList<ElementTicket> *source : {&tickets.infantPieces, &tickets.infantElements}) {
        for (const ElementTicket &ticket : *source) {
            if (!ticket.number.isEmpty() && !byOrdinal.contains(ticket.ordinal))
                byOrdinal.insert(ticket.ordinal, ticket.number);
        }
    }
    return byOrdinal;
}

} // namespace itinerary
