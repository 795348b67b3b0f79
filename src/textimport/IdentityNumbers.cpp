#include "textimport/IdentityNumbers.h"

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

QStringView trimmedBlanks(QStringView text) {
    while (!text.isEmpty() && text.front() == u' ')
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

// An infant's document: its sex, the sixth "/" item, is "MI" or "FI".
bool isInfantDocument(QStringView element) {
    const std::optional<QStringView> sex = itemAt(element, u'/', 5);
    return sex && (trimmedBlanks(*sex) == u"MI" || trimmedBlanks(*sex) == u"FI");
}

// The passport number: the third "/" item, trimmed of blanks.
QString thirdItem(QStringView line) {
    const std::optional<QStringView> item = itemAt(line, u'/', 2);
    return item ? trimmedBlanks(*item).toString() : QString();
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
    return isInfantDocument(line) ? QString() : thirdItem(line);
}

QList<DocumentElement> readDocumentElements(QStringView text) {
    QList<DocumentElement> documents;
    const QList<QStringView> pieces = cutText(text, DocumentMarker);
    QString storage;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QStringView whole = joinedElement(pieces[i], 0, pieces[i].size(), storage);
        const std::optional<OrdinalSplit> split = splitAtLastOrdinal(whole);
        documents.append({split ? split->ordinal : NoOrdinal, thirdItem(firstLine(pieces[i])),
                          isInfantDocument(whole)});
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
