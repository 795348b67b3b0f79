#include "HtmlText.h"

using namespace Qt::StringLiterals;

namespace itinerary::site {

QString escapeHtmlText(const QString &text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            result += u"&amp;"_s;
            break;
        case u'<':
            result += u"&lt;"_s;
            break;
        case u'>':
            result += u"&gt;"_s;
            break;
        case 0x00a0:
            result += u"&nbsp;"_s;
            break;
        default:
            result += c;
        }
    }
    return result;
}

QString escapeHtmlAttribute(const QString &value) {
    QString result;
    result.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'&':
            result += u"&amp;"_s;
            break;
        case u'"':
            result += u"&quot;"_s;
            break;
        case 0x00a0:
            result += u"&nbsp;"_s;
            break;
        default:
            result += c;
        }
    }
    return result;
}

} // namespace itinerary::site
