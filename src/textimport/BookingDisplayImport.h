#pragma once

#include "textimport/CodeTables.h"

#include <QString>

namespace itinerary {

class Clock;
class Itinerary;
class Messages;

// Imports a booking display pasted from the reservation terminal into the sheet.
//
// The current passenger becomes 0, both passenger buttons are disabled and the imported
// fields are cleared; an empty text stops there. The terminal's control characters are
// dropped; the history display of a booking cancelled whole ("THIS PNR WAS ENTIRELY
// CANCELLED") gives "该订座记录已全部取消" (title "错误提示") and nothing else is written.
// Line ends are written as CR LF, and screen rows that the copy joined into one line
// (ScreenRows.h) become rows again. The text is cut at every segment marker (".  ", or ". *"
// before a codeshare flight): without a flight among the pieces (SegmentImport.h),
// "没有找到航段信息" (title "错误提示") is shown and nothing else is written. Otherwise up to
// four flights fill the segment rows, the fare elements fill the fare row, and the name
// section before the first segment marker gives the record code and the passenger list
// (passengers, then infants, each with its own fare row when the booking prices them
// differently), whose first entry is shown ("没有找到乘机人信息" when it names nobody;
// segments and fares stay). No field receives a line end or a control character.
//
// Any text is handled: short lines, missing pieces and impossible dates never fail, and the
// work is linear in the length of the text. Airports and airlines are named from `codes`:
// the agency's tables where it has its own codes, the built-in ones otherwise.
void importBookingDisplay(const QString &text, Itinerary &sheet, Messages &messages,
                          const Clock &clock, const CodeTables &codes = CodeTables::builtIn());

} // namespace itinerary
