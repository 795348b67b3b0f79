#pragma once

#include <QByteArray>
#include <QString>

namespace itinerary {

class Itinerary;
class RecordingMessages;

// Whether the line ends with the passenger list's fare rows.
enum class FareRows { Left, Included };

// The state of a sheet as exactly one JSON object on one line, newline-terminated, keys in
// this order, strings as raw UTF-8:
// {"fields":[59 strings],"passengers":[[name,id,ticket],...],"current":0,
//  "prev_enabled":false,"next_enabled":true,"messages":[[title,text],...]}
// With FareRows::Included the key "fares" follows "messages": one item per list entry, null
// when the entry has no fare row of its own, else [f30,f31,f32,f58,f33].
// Other tools and acceptance suites depend on this exact shape.
QByteArray sheetStateJson(const Itinerary &sheet, const RecordingMessages &messages,
                          FareRows fareRows = FareRows::Left);

// A JSON string literal of `text`: quotes, backslash and control characters escaped,
// everything else raw UTF-8.
QByteArray jsonString(const QString &text);

} // namespace itinerary
