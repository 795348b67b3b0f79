#include "textimport/PassengerImport.h"

#include "base/Messages.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"
#include "textimport/FareImport.h"
#include "textimport/IdentityNumbers.h"
#include "textimport/InfantImport.h"
#include "textimport/TextCutting.h"
#include "textimport/TicketNumbers.h"

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

QStringView trimmedNameSpace(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isNameSpace(text[begin]))
        ++begin;
    while (end > begin && isNameSpace(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// The infants after the passengers, each with its ticket.
void appendInfants(const QList<InfantElement> &infants, const TicketElements &tickets,
                   PassengerList &list) {
    const QHash<Ordinal, QString> infantTickets = infantTicketsByOrdinal(tickets);
    for (const InfantElement &infant : infants)
        list.append({infant.name, QString(), infantTickets.value(infant.travelsWith)});
}

// Each entry's own fare row, when the booking has more than one fare element.
void assignFares(const QList<FareElement> &fares, const QList<InfantElement> &infants,
                 qsizetype passengerCount, PassengerList &list) {
    if (fares.size() < 2)
        return;
    const FareChoice choice(fares);
    for (qsizetype i = 0; i < passengerCount; ++i)
        list[i].fares = choice.forPassenger(i + 1);
    for (qsizetype i = 0; i < infants.size(); ++i)
        list[passengerCount + i].fares = choice.forInfant(infants[i].travelsWith);
}

} // namespace

RecordCodeSplit splitRecordCode(QStringView lastNamePiece) {
    QStringView piece = lastNamePiece;
    qsizetype lineStart = piece.size();
    while (lineStart > 0 && piece[lineStart - 1] != u'\r' && piece[lineStart - 1] != u'\n')
        --lineStart;
    bool elementNumberLine = true;
    for (QChar c : piece.mid(lineStart)) {
        if (c != u' ' && !isAsciiDigit(c)) {
            elementNumberLine = false;
            break;
        }
    }
    if (elementNumberLine)
        piece = piece.left(lineStart);

    piece = trimmedNameSpace(piece);
    qsizetype tokenStart = piece.size();
    while (tokenStart > 0 && !isNameSpace(piece[tokenStart - 1]))
        --tokenStart;
    return RecordCodeSplit{trimmedNameSpace(piece.left(tokenStart)).toString(),
                           piece.mid(tokenStart).toString()};
}

QString nameBeforeOrdinal(QStringView namePiece) {
    QStringView name = trimmedNameSpace(namePiece);
    while (!name.isEmpty() && isAsciiDigit(name.back()))
        name.chop(1);
    return trimmedNameSpace(name).toString();
}

void importPassengers(QStringView text, QStringView nameSection, const QList<FareElement> &fares,
                      Itinerary &sheet, Messages &messages) {
    const QList<QStringView> namePieces = cutText(nameSection, u".");
    if (namePieces.size() < 2) {
        messages.showMessage(u"没有找到乘机人信息"_s);
        return;
    }
    const RecordCodeSplit last = splitRecordCode(namePieces.back());
    sheet.setText(Field::RecordCode, last.code);

    const qsizetype count = namePieces.size() - 1;
    PassengerList list(count);
    for (qsizetype g = 1; g < count; ++g)
        list[g - 1].name = nameBeforeOrdinal(namePieces[g]);
    list[count - 1].name = last.name;
    assignIdentityNumbers(text, list);
    const TicketElements tickets = readTicketElements(text);
    assignTicketNumbers(tickets, list);
    const QList<InfantElement> infants = readInfants(text);
    appendInfants(infants, tickets, list);
    assignFares(fares, infants, count, list);

    sheet.setPassengers(list);
    if (list.size() > 1)
        sheet.setNextEnabled(true);
    sheet.showPassenger(0);
}

} // namespace itinerary
