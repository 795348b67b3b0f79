#pragma once

#include <QString>

namespace itinerary {

// Values cut out of a result page are markup text; on the sheet they must read as the page
// shows them ("退改&amp;签" is "退改&签"). Decodes, in one pass from the left, "&amp;",
// "&lt;", "&gt;", "&quot;", "&apos;", "&nbsp;" (an ordinary space, as the sheet prints it),
// decimal "&#NNN;" and hexadecimal "&#xHH;" / "&#XHH;". A reference to no character (zero, a
// surrogate, beyond U+10FFFF), an unknown name or one without its ";" stays as written; a
// text without references is returned unchanged.
QString decodeCharacterReferences(const QString &text);

} // namespace itinerary
