#pragma once

#include <QString>

namespace itinerary {

// The result page parser compares upper-case tag markers ("</TR>", "<BR>"), while a browser
// engine serialises tag names in lower case. This gives the parser its markup: every tag
// name upper-cased where it stands (the ASCII letter right after "<" or "</" and the ASCII
// letters and digits that follow it). Nothing else changes: attribute names and values,
// text, the raw text of <script> and <style>, comments, the doctype and character references
// stay as they are, so markup already in that form passes through unchanged and the length
// never changes.
QString normaliseTagNames(const QString &markup);

} // namespace itinerary
