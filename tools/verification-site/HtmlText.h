#pragma once

#include <QString>

// Escaping as a browser engine serialises markup, so a page written with these functions
// reads back from the engine's innerHTML/outerHTML byte for byte.
namespace itinerary::site {

// Text content: "&" "<" ">" and U+00A0 become "&amp;" "&lt;" "&gt;" "&nbsp;"; nothing else
// changes (quotes stay raw, as the engine writes them in text).
QString escapeHtmlText(const QString &text);

// A double-quoted attribute value: "&" '"' and U+00A0 become "&amp;" "&quot;" "&nbsp;".
QString escapeHtmlAttribute(const QString &value);

} // namespace itinerary::site
