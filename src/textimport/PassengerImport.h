#pragma once

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

// The name in a name piece that is followed by another passenger: the piece trimmed of
// spaces, tabs, CR and LF, without the next passenger's ordinal (all trailing digits),
// trimmed again.
QString nameBeforeOrdinal(QStringView namePiece);

// Fills the record code, the passenger list (name, identity number and e-ticket number of
// every passenger of the name section) and shows the first passenger, enabling "下一位" for
// two or more. `nameSection` is the display text before the first segment marker, `text` the
// whole display. When the name section names nobody it shows "没有找到乘机人信息" and leaves
// the passenger list as it was.
//
// With several passengers, identity lines ("SSR FOID ") and ticket elements (".TN/") are
// used only when there is exactly one per passenger, and each goes to the passenger whose
// ordinal (all digits after its first "/P") it carries; a line without an ordinal goes to
// nobody. A single passenger takes the first of each whatever its ordinal.
void importPassengers(QStringView text, QStringView nameSection, Itinerary &sheet,
                      Messages &messages);

} // namespace itinerary
