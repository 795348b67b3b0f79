#pragma once

#include <QString>

#include <optional>

namespace itinerary {

class Itinerary;
class Messages;

// The message shown when a result page carries the marker but lacks a piece the parser reads.
inline constexpr QStringView UnrecognisedResultPageMessage = u"无法识别验真结果页面";

// The browser's download-complete notification. Does nothing while the page is not ready or
// when "印刷序号" does not occur in the document's markup; otherwise runs readResultTable.
// `documentMarkup` is the whole document's markup, `thirdTableInnerMarkup` the inner markup of
// its third table element (empty when there is none), both with upper-case tag names.
void importResultPage(bool pageReady, const QString &documentMarkup,
                      const std::optional<QString> &thirdTableInnerMarkup, Itinerary &sheet,
                      Messages &messages);

// Reads the verification result table into the sheet: disables both passenger buttons and
// empties the import fields, then writes the passenger name and endorsements (fields 0, 2),
// the segment columns (up to four rows), the amounts (30, 31, 32, 58, 33), the e-ticket
// number (34) and the notice (36), in that order, each through the sheet's change rule.
// Character references left in a value are decoded before it is written.
// Returns false, after showing UnrecognisedResultPageMessage, when the table is absent or
// lacks a row, cell or marker that a value is cut from; the values written before that point
// stay on the sheet.
bool readResultTable(const std::optional<QString> &thirdTableInnerMarkup, Itinerary &sheet,
                     Messages &messages);

} // namespace itinerary
