#include "textimport/IdentityNumbers.h"

#include "sheet/TextRules.h"
#include "textimport/PassengerOrdinal.h"
#include "textimport/TextCutting.h"

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

constexpr QStringView IdentityMarker = u"SSR FOID ";
constexpr QStringView DocumentMarker = u"SSR DOCS ";
constexpr QStringView IdentityCardMarker = u"NI";

QStringView lastBlankToken(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    qsizetype start = end;
    while (start > 0 && text[start - 1] != u' ')
        --start;
    return text.mid(start, end - start);
}

void assignFromIdentityElements(QStringView text, PassengerList &passengers) {
    const QList<QStringView> pieces = cutText(text, IdentityMarker);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const std::optional<OrdinalSplit> split = splitAtFirstOrdinal(pieces[i]);
        if (passengers.size() == 1) {
            if (split)
                passengers[0].idNumber = identityElementNumber(split->before);
            return;
        }
        const qsizetype at = split ? passengerPosition(split->ordinal, passengers.size()) : -1;
        if (at >= 0 && passengers[at].idNumber.isEmpty())
            passengers[at].idNumber = identityElementNumber(split->before);
    }
}

void assignFromDocumentElements(QStringView text, PassengerList &passengers) {
    const QList<QStringView> pieces = cutText(text, DocumentMarker);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QStringView line = firstLine(pieces[i]);
        qsizetype at = 0;
        if (passengers.size() > 1) {
            const std::optional<OrdinalSplit> split = splitAtLastOrdinal(line);
            at = split ? passengerPosition(split->ordinal, passengers.size()) : -1;
        }
        if (at >= 0 && passengers[at].idNumber.isEmpty())
            passengers[at].idNumber = documentElementNumber(line);
    }
}

} // namespace

QString identityElementNumber(QStringView beforeOrdinal) {
    const qsizetype card = beforeOrdinal.indexOf(IdentityCardMarker);
    if (card >= 0) {
        const QStringView after = beforeOrdinal.mid(card + IdentityCardMarker.size());
        return beforeMarker(after, IdentityCardMarker).toString();
    }
    const QStringView token = lastBlankToken(beforeOrdinal);
    if (token.startsWith(u"PP") || token.startsWith(u"ID"))
        return token.mid(2).toString();
    return QString();
}

QString documentElementNumber(QStringView line) {
    const QList<QStringView> items = cutText(line, u"/");
    if (items.size() < 3)
        return QString();
    if (items.size() >= 6) {
        const QString sex = trimBlanks(items[5].toString());
        if (sex == u"MI" || sex == u"FI")
            return QString();
    }
    return trimBlanks(items[2].toString());
}

void assignIdentityNumbers(QStringView text, PassengerList &passengers) {
    if (passengers.isEmpty())
        return;
    assignFromIdentityElements(text, passengers);
    assignFromDocumentElements(text, passengers);
}

} // namespace itinerary
