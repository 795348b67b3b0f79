#include "textimport/InfantImport.h"

#include "sheet/TextRules.h"
#include "textimport/TextCutting.h"
#include "textimport/WrappedElement.h"

namespace itinerary {

namespace {

constexpr QStringView InfantMarker = u"XN/IN/";

// The text without its parenthesised parts (the infant's birth date, "(OCT16)").
QString withoutParentheses(QStringView text) {
    QString out;
    out.reserve(text.size());
    int depth = 0;
    for (QChar c : text) {
        if (c == u'(')
            ++depth;
        else if (c == u')' && depth > 0)
            --depth;
        else if (depth == 0)
            out.append(c);
    }
    return out;
}

QString infantName(QStringView nameText) {
    QString name = withoutParentheses(nameText);
    qsizetype end = name.size();
    while (end > 0 && (name[end - 1] == u' ' || name[end - 1] == u'+' || name[end - 1] == u'-'))
        --end;
    name.truncate(end);
    return trimWhitespace(name);
}

} // namespace

QList<InfantElement> readInfants(QStringView text) {
    QList<InfantElement> infants;
    const QList<QStringView> pieces = cutText(text, InfantMarker);
    QString storage;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QStringView element = joinedElement(pieces[i], 0, pieces[i].size(), storage);
        const std::optional<OrdinalSplit> split = splitAtLastOrdinal(element);
        infants.append(split ? InfantElement{infantName(split->before), split->ordinal}
                             : InfantElement{infantName(element), NoOrdinal});
    }
    return infants;
}

} // namespace itinerary
