#include "textimport/IdentityNumbers.h"

#include "sheet/TextRules.h"
#include "textimport/PassengerOrdinal.h"
#include "textimport/TextCutting.h"
#include "textimport/WrappedElement.h"

#include <QHash>

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
                passengers[0].idNumber = identityElementNumber(firstLine(split->before));
            return;
        }
        const qsizetype at = split ? passengerPosition(split->ordinal, passengers.size()) : -1;
        if (at >= 0 && passengers[at].idNumber.isEmpty())
            passengers[at].idNumber = identityElementNumber(firstLine(split->before));
    }
}

// The "/" items of a document element's text after its marker.
QList<QStringView> documentItems(QStringView text) {
    return cutText(text, u"/");
}

// An infant's document: its sex, the sixth item, is "MI" or "FI".
bool isInfantDocument(const QList<QStringView> &items) {
    if (items.size() < 6)
        return false;
    const QString sex = trimBlanks(items[5].toString());
    return sex == u"MI" || sex == u"FI";
}

QString thirdItem(const QList<QStringView> &items) {
    return items.size() < 3 ? QString() : trimBlanks(items[2].toString());
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
    const QList<QStringView> items = documentItems(line);
    return isInfantDocument(items) ? QString() : thirdItem(items);
}

QList<DocumentElement> readDocumentElements(QStringView text) {
    QList<DocumentElement> documents;
    const QList<QStringView> pieces = cutText(text, DocumentMarker);
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString whole = joinedElement(pieces[i], 0, pieces[i].size());
        const std::optional<OrdinalSplit> split = splitAtLastOrdinal(whole);
        documents.append({split ? split->ordinal : NoOrdinal,
                          thirdItem(documentItems(firstLine(pieces[i]))),
                          isInfantDocument(documentItems(whole))});
    }
    return documents;
}

void assignIdentityNumbers(QStringView text, const QList<DocumentElement> &documents,
                           PassengerList &passengers) {
    if (passengers.isEmpty())
        return;
    assignFromIdentityElements(text, passengers);
    for (const DocumentElement &document : documents) {
        if (document.infant)
            continue;
        const qsizetype at =
            passengers.size() == 1 ? 0 : passengerPosition(document.ordinal, passengers.size());
        if (at >= 0 && passengers[at].idNumber.isEmpty())
            passengers[at].idNumber = document.number;
    }
}

QStringList infantDocumentNumbers(const QList<DocumentElement> &documents,
                                  const QList<InfantElement> &infants) {
    QHash<Ordinal, QList<QString>> byPassenger;
    for (const DocumentElement &document : documents) {
        if (document.infant)
            byPassenger[document.ordinal].append(document.number);
    }
    QStringList numbers;
    QHash<Ordinal, qsizetype> used;
    for (const InfantElement &infant : infants) {
        const QList<QString> forPassenger = byPassenger.value(infant.travelsWith);
        qsizetype &next = used[infant.travelsWith];
        numbers.append(next < forPassenger.size() ? forPassenger[next] : QString());
        ++next;
    }
    return numbers;
}

} // namespace itinerary
