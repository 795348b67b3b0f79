#pragma once

#include <QString>

#include <optional>

namespace itinerary {

// The inner markup of the third table element of a page whose tag names are upper case (as
// normaliseTagNames leaves them): "<TABLE" start tags count in text order, nested ones
// included; the third one's start tag ends at its first ">" outside a quoted attribute value,
// and its inner markup ends right before the matching "</TABLE" end tag (nested tables
// balanced). Tags inside comments or raw text (<script>, <style>) do not count.
// Empty when the page has fewer than three tables or the third is not closed.
std::optional<QString> thirdTableInnerMarkup(const QString &markup);

} // namespace itinerary
