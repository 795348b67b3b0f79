#include "webimport/MarkupNormaliser.h"

#include "webimport/MarkupScanner.h"

namespace itinerary {

QString normaliseTagNames(const QString &markup) {
    QString result = markup;
    MarkupScanner scanner(markup);
    MarkupScanner::Token token;
    while (scanner.next(token)) {
        if (token.kind != MarkupScanner::Kind::StartTag &&
            token.kind != MarkupScanner::Kind::EndTag)
            continue;
        for (qsizetype i = token.nameBegin; i < token.nameEnd; ++i) {
            const char16_t u = markup[i].unicode();
            if (u >= u'a' && u <= u'z')
                result[i] = QChar(char16_t(u - (u'a' - u'A')));
        }
    }
    return result;
}

} // namespace itinerary
