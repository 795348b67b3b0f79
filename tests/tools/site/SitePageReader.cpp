#include "SitePageReader.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace sitetest {

int tableCount(const QString &markup) {
    static const QRegularExpression start(u"<table(?=[\\s>/])"_s,
                                          QRegularExpression::CaseInsensitiveOption);
    int count = 0;
    for (auto it = start.globalMatch(markup); it.hasNext(); it.next())
        ++count;
    return count;
}

QStringList cut(const QString &text, const QString &marker) {
    return text.isEmpty() ? QStringList() : text.split(marker);
}

} // namespace sitetest
