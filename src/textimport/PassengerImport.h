#pragma once

#include "textimport/FareElements.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace itinerary {

class Itinerary;
class Messages;

// The record code and the last passenger's name, taken from the last name piece.
struct RecordCodeSplit {
    QString name;
    QString code;
    bool operator==(const RecordCodeSplit &) const = default;
};

// Splits the last name piece (the text after the last passenger's ordinal dot, up to the
// first segment marker). The element number the display puts before the segment marker
// stands on the piece's last line; that line is dropped when it holds only spaces and
// digits. The record code is then the last token (tokens are separated by spaces, tabs, CR
// and LF), wherever the name list wrapped it, and the name is the text before it, trimmed of
// spaces, tabs, CR and LF. One token gives the code and an empty name; none gives both empty.
RecordCodeSplit splitRecordCode(QStringView lastNamePiece);

// The last passenger's name of a group whose line carries the record code: the last name
// piece without the element number line, trimmed of spaces, tabs, CR and LF, without a copy
// of `recordCode` at its end.
QString groupLastName(QStringView lastNamePiece, QStringView recordCode);

// The name in a name piece that is followed by another passenger: the piece trimmed of
// spaces, tabs, CR and LF, its rows joined as a field's (FieldText.h), without the next
// passenger's ordinal (all trailing digits, even where a row's end cut them apart), trimmed
// again.
QString nameBeforeOrdinal(QStringView namePiece);

// Fills the record code and the passenger list, and shows its first entry, enabling
// "下一位" for two or more entries. `nameSection` is the display text before the first
// segment marker, `text` the whole display, `fares` its fare elements. A group booking's line
// (GroupLine.h) is left out of the names; the record code it carries is the booking's,
// otherwise the last name piece gives it. When the name section names nobody it shows
// "没有找到乘机人信息" and leaves the passenger list (with its fare rows) as it was; a group's
// record code stays written.
//
// The list holds the passengers of the name section with their identity document numbers
// (IdentityNumbers.h) and e-ticket numbers (TicketNumbers.h), then one entry per infant
// (InfantImport.h) with its passport number and ticket. Every text is one line (FieldText.h):
// a name cut at the end of a screen row is joined again. With more than one fare element
// every entry gets the fare row it takes (FareChoice), which navigation writes with it; with
// one, the fare step has written it and the entries carry none.
void importPassengers(QStringView text, QStringView nameSection, const QList<FareElement> &fares,
                      Itinerary &sheet, Messages &messages);

} // namespace itinerary
