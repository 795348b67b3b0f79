#include "textimport/PassengerImport.h"

#include "base/Messages.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/TextRules.h"
#include "textimport/TextCutting.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

constexpr QStringView IdentityMarker = u"SSR FOID ";
constexpr QStringView TicketMarker = u".TN/";
constexpr QStringView OrdinalMarker = u"/P";
constexpr QStringView IdentityCardMarker = u"NI";

QStringView trimmedNameSpace(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isNameSpace(text[begin]))
        ++begin;
    while (end > begin && isNameSpace(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// Piece 1 of `text` cut at `marker`: the text between its first and second occurrence (or
// the end); nothing when the marker does not occur.
std::optional<QStringView> secondPiece(QStringView text, QStringView marker) {
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return std::nullopt;
    return beforeMarker(text.mid(at + marker.size()), marker);
}

// The identity-card number in the part of an identity line before its "/P".
QString identityNumber(QStringView beforeOrdinal) {
    return secondPiece(beforeOrdinal, IdentityCardMarker).value_or(QStringView()).toString();
}

// An element that ends in "/P" and a passenger ordinal: what stands before the "/P", and the
// ordinal digits.
struct OrdinalElement {
    QStringView before;
    QStringView ordinal;
};

std::optional<OrdinalElement> splitOrdinal(QStringView element) {
    const qsizetype at = element.indexOf(OrdinalMarker);
    if (at < 0)
        return std::nullopt;
    const QStringView after = element.mid(at + OrdinalMarker.size());
    qsizetype digits = 0;
    while (digits < after.size() && isAsciiDigit(after[digits]))
        ++digits;
    return OrdinalElement{element.left(at), after.left(digits)};
}

// Compared as integers without converting, so a run of any length neither overflows nor
// matches by accident.
bool ordinalNames(QStringView ordinal, qsizetype passenger) {
    qsizetype zeros = 0;
    while (zeros < ordinal.size() && ordinal[zeros] == u'0')
        ++zeros;
    return !ordinal.isEmpty() && ordinal.mid(zeros) == QString::number(passenger);
}

// The part before "/P" of the element that names `passenger`; empty when it names another
// passenger, nobody, or has no "/P".
QStringView elementFor(QStringView element, qsizetype passenger) {
    const std::optional<OrdinalElement> split = splitOrdinal(element);
    if (!split || !ordinalNames(split->ordinal, passenger))
        return {};
    return split->before;
}

Passenger singlePassenger(QStringView text, const QString &name) {
    Passenger p;
    p.name = name;
    if (const auto identity = secondPiece(text, IdentityMarker)) {
        if (const auto split = splitOrdinal(*identity))
            p.idNumber = identityNumber(split->before);
    }
    if (const auto ticket = secondPiece(text, TicketMarker)) {
        if (const auto split = splitOrdinal(*ticket))
            p.ticketNumber = split->before.toString();
    }
    return p;
}

PassengerList severalPassengers(QStringView text, const QList<QStringView> &namePieces,
                                const QString &lastName) {
    const qsizetype count = namePieces.size() - 1;
    const QList<QStringView> identities = cutText(text, IdentityMarker);
    const QList<QStringView> tickets = cutText(text, TicketMarker);
    const bool identityPerPassenger = identities.size() - 1 == count;
    const bool ticketPerPassenger = tickets.size() - 1 == count;

    PassengerList list(count);
    for (qsizetype g = 1; g <= count; ++g) {
        Passenger &p = list[g - 1];
        p.name = g < count ? nameBeforeOrdinal(namePieces[g]) : lastName;
        if (identityPerPassenger)
            p.idNumber = identityNumber(elementFor(identities[g], g));
        if (ticketPerPassenger)
            p.ticketNumber = elementFor(tickets[g], g).toString();
    }
    return list;
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

void importPassengers(QStringView text, QStringView nameSection, Itinerary &sheet,
                      Messages &messages) {
    const QList<QStringView> namePieces = cutText(nameSection, u".");
    if (namePieces.size() < 2) {
        messages.showMessage(u"没有找到乘机人信息"_s);
        return;
    }
    const RecordCodeSplit last = splitRecordCode(namePieces.back());
    sheet.setText(Field::RecordCode, last.code);

    const PassengerList list = namePieces.size() == 2
                                   ? PassengerList{singlePassenger(text, last.name)}
                                   : severalPassengers(text, namePieces, last.name);
    sheet.setPassengers(list);
    if (list.size() > 1)
        sheet.setNextEnabled(true);
    sheet.showPassenger(0);
}

} // namespace itinerary
