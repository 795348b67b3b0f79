#include "HtmlText.h"

using namespace Qt::StringLiterals;

namespace itinerary::site {

namespace {
constexpr QChar NoBreakSpace(0x00a0);
} // namespace

// Qt escapes "&", "<", ">" and '"'; in text the engine leaves quotes as they are.
QString escapeHtmlText(const QString &text) {
    return text.toHtmlEscaped().replace(u"&quot;"_s, u"\""_s).replace(NoBreakSpace, u"&nbsp;"_s);
}

// In an attribute value the engine leaves "<" and ">" as they are. An escaped "&lt;" cannot be
// taken for one: its "&" became "&amp;".
QString escapeHtmlAttribute(const QString &value) {
    return value.toHtmlEscaped()
        .replace(u"&lt;"_s, u"<"_s)
        .replace(u"&gt;"_s, u">"_s)
        .replace(NoBreakSpace, u"&nbsp;"_s);
}

} // namespace itinerary::site
