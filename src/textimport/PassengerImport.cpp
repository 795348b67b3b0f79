#include "textimport/PassengerImport.h"

#include "base/Messages.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"
#include "textimport/FareImport.h"
#include "textimport/FieldText.h"
#include "textimport/GroupLine.h"
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

// The infants after the passengers, each with its passport number and ticket.
void appendInfants(const QList<InfantElement> &infants, const QStringList &documentNumbers,
                   const TicketElements &tickets, PassengerList &list) {
    const QHash<Ordinal, QString> infantTickets = infantTicketsByOrdinal(tickets);
    for (qsizetype i = 0; i < infants.size(); ++i) {
        list.append(
            {infants[i].name, documentNumbers[i], infantTickets.value(infants[i].travelsWith)});
    }
}

// Every text of the list as a sheet field holds it: one line.
void toFieldTexts(PassengerList &list) {
    for (Passenger &p : list) {
        p.name = fieldText(p.name);
        p.idNumber = fieldText(p.idNumber);
        p.ticketNumber = fieldText(p.ticketNumber);
    }
}

// The last name piece without the element number that the display puts before the first
// segment marker (its last line, when that line holds only spaces and digits).
QStringView withoutElementNumberLine(QStringView piece) {
    qsizetype lineStart = piece.size();
    while (lineStart > 0 && piece[lineStart - 1] != u'\r' && piece[lineStart - 1] != u'\n')
        --lineStart;
    for (QChar c : piece.mid(lineStart)) {
        if (c != u' ' && !isAsciiDigit(c))
            return piece;
    }
    return piece.left(lineStart);
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
    const QStringView piece = trimmedNameSpace(withoutElementNumberLine(lastNamePiece));
    qsizetype tokenStart = piece.size();
    while (tokenStart > 0 && !isNameSpace(piece[tokenStart - 1]))
        --tokenStart;
    return RecordCodeSplit{trimmedNameSpace(piece.left(tokenStart)).toString(),
                           piece.mid(tokenStart).toString()};
}

QString groupLastName(QStringView lastNamePiece, QStringView recordCode) {
    QStringView name = trimmedNameSpace(withoutElementNumberLine(lastNamePiece));
    if (name.endsWith(recordCode)) {
        const QStringView before = name.chopped(recordCode.size());
        if (before.isEmpty() || isNameSpace(before.back()))
            name = trimmedNameSpace(before);
    }
    return name.toString();
}

QString nameBeforeOrdinal(QStringView namePiece) {
    // Rows joined first: the terminal may have cut the next ordinal at the row's end.
    QStringView name = trimmedNameSpace(namePiece);
    QString joined;
    if (name.contains(u'\r') || name.contains(u'\n')) {
        joined = fieldText(name.toString());
        name = joined;
    }
    while (!name.isEmpty() && isAsciiDigit(name.back()))
        name.chop(1);
    return trimmedNameSpace(name).toString();
}

void importPassengers(QStringView text, QStringView nameSection, const QList<FareElement> &fares,
                      Itinerary &sheet, Messages &messages) {
    // A group's line names no passenger; the record code it carries is the booking's.
    const std::optional<GroupLine> group = findGroupLine(nameSection);
    QString withoutGroup;
    if (group) {
        withoutGroup = nameSection.left(group->start).toString();
        withoutGroup.append(nameSection.mid(group->end));
        nameSection = withoutGroup;
    }
    const bool groupCode = group && !group->recordCode.isEmpty();
    if (groupCode)
        sheet.setText(Field::RecordCode, group->recordCode);

    const QList<QStringView> namePieces = cutText(nameSection, u".");
    if (namePieces.size() < 2) {
        messages.showMessage(u"没有找到乘机人信息"_s);
        return;
    }
    const qsizetype count = namePieces.size() - 1;
    PassengerList list(count);
    for (qsizetype g = 1; g < count; ++g)
        list[g - 1].name = nameBeforeOrdinal(namePieces[g]);
    if (groupCode) {
        list[count - 1].name = groupLastName(namePieces.back(), group->recordCode);
    } else {
        RecordCodeSplit last = splitRecordCode(namePieces.back());
        sheet.setText(Field::RecordCode, last.code);
        list[count - 1].name = std::move(last.name);
    }

    const QList<DocumentElement> documents = readDocumentElements(text);
    assignIdentityNumbers(text, documents, list);
    const TicketElements tickets = readTicketElements(text);
    assignTicketNumbers(tickets, list);
    const QList<InfantElement> infants = readInfants(text);
    appendInfants(infants, infantDocumentNumbers(documents, infants), tickets, list);
    assignFares(fares, infants, count, list);
    toFieldTexts(list);

    sheet.setPassengers(list);
    if (list.size() > 1)
        sheet.setNextEnabled(true);
    sheet.showPassenger(0);
}

} // namespace itinerary
