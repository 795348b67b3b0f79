#include "webimport/ThirdTable.h"

#include "webimport/MarkupScanner.h"

namespace itinerary {

std::optional<QString> thirdTableInnerMarkup(const QString &markup) {
    constexpr QStringView Table = u"TABLE";
    MarkupScanner scanner(markup);
    MarkupScanner::Token token;
    int tablesSeen = 0;
    qsizetype innerBegin = -1;
    int depth = 0;
    while (scanner.next(token)) {
        const bool isStart = token.kind == MarkupScanner::Kind::StartTag;
        const bool isEnd = token.kind == MarkupScanner::Kind::EndTag;
        if ((!isStart && !isEnd) || !scanner.nameIs(token, Table))
            continue;
        if (innerBegin < 0) {
            if (isStart && ++tablesSeen == 3) {
                if (!token.closed)
                    return std::nullopt;
                innerBegin = token.end;
                depth = 1;
            }
            continue;
        }
        depth += isStart ? 1 : -1;
        if (depth == 0)
            return markup.sliced(innerBegin, token.begin - innerBegin);
    }
    return std::nullopt;
}

} // namespace itinerary
