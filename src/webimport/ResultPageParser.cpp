#include "webimport/ResultPageParser.h"

#include "base/Messages.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "textimport/ImportProcedures.h"
#include "webimport/CharacterReferences.h"

#include <array>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// The page is read by plain cutting at fixed markers, compared exactly.
constexpr QStringView PrintSerialMarker = u"印刷序号";
constexpr QStringView RowEnd = u"</TR>";
constexpr QStringView CellEnd = u"</TD>";
constexpr QStringView DivEnd = u"</DIV>";
constexpr QStringView TagEnd = u">";
constexpr QStringView LineBreak = u"<BR>";
constexpr QStringView ClosingTagStart = u"</";
// The end of the style attribute ("...width:80px") of the division that holds a segment
// column's first entry and the e-ticket number.
constexpr QStringView PixelMarker = u"px\">";

// A piece cut out of the page, or nothing when the page lacks it.
using Piece = std::optional<QStringView>;
constexpr qsizetype LastPiece = -1;

// The page's cutting rule: every occurrence of the marker, scanning from the left without
// overlap, ends a piece; empty pieces are kept; an empty text gives no pieces at all.
QList<QStringView> cut(QStringView text, QStringView marker) {
    QList<QStringView> pieces;
    if (text.isEmpty())
        return pieces;
    qsizetype start = 0;
    while (true) {
        const qsizetype at = text.indexOf(marker, start);
        if (at < 0)
            break;
        pieces.append(text.sliced(start, at - start));
        start = at + marker.size();
    }
    pieces.append(text.sliced(start));
    return pieces;
}

Piece pieceAt(const QList<QStringView> &pieces, qsizetype number) {
    if (pieces.isEmpty())
        return std::nullopt;
    if (number == LastPiece)
        return pieces.last();
    if (number < pieces.size())
        return pieces[number];
    return std::nullopt;
}

// Piece `number` (or the last) of the text cut at the marker, without building the list.
Piece piece(const Piece &text, QStringView marker, qsizetype number) {
    if (!text || text->isEmpty())
        return std::nullopt;
    qsizetype start = 0;
    for (qsizetype i = 0;; ++i) {
        const qsizetype at = text->indexOf(marker, start);
        if (at < 0)
            return (i == number || number == LastPiece) ? Piece(text->sliced(start)) : std::nullopt;
        if (i == number)
            return text->sliced(start, at - start);
        start = at + marker.size();
    }
}

// A column's first entry is cut before its first closing tag too, so that a single entry's
// "</DIV>" never reaches the sheet.
Piece beforeClosingTag(const Piece &value) {
    if (!value)
        return value;
    const qsizetype at = value->indexOf(ClosingTagStart);
    return at < 0 ? value : Piece(value->first(at));
}

bool write(Itinerary &sheet, int index, const QString &value) {
    sheet.setText(index, decodeCharacterReferences(value));
    return true;
}

bool write(Itinerary &sheet, int index, const Piece &value) {
    return value && write(sheet, index, value->toString());
}

// An amount as the page shows it: "&nbsp;" removed, "0" appended, and for the taxes the
// currency prefix "CNY " removed after that (so it matches only before an ordinary space).
bool writeAmount(Itinerary &sheet, int index, const Piece &text, bool tax) {
    if (!text)
        return false;
    QString value = text->toString();
    value.remove(u"&nbsp;"_s);
    value.append(u'0');
    if (tax)
        value.remove(u"CNY "_s);
    return write(sheet, index, value);
}

struct SegmentCell {
    qsizetype cell;
    SegmentColumn column;
};

// The segment row's cells that are read, in reading order; cells 0, 2, 9 and 10 are not.
constexpr std::array<SegmentCell, 8> SegmentCells{{
    {1, SegmentColumn::City},
    {3, SegmentColumn::Carrier},
    {4, SegmentColumn::Flight},
    {5, SegmentColumn::BookingClass},
    {6, SegmentColumn::Date},
    {7, SegmentColumn::Time},
    {8, SegmentColumn::FareBasis},
    {11, SegmentColumn::Baggage},
}};

// Writes the passenger row: the name (after the last ">" ahead of the first "</DIV>" of the
// first cell) and the endorsements (the third cell's first text, "&nbsp;" read as a space).
bool parsePassengerRow(const Piece &row, Itinerary &sheet) {
    if (!row)
        return false;
    const QList<QStringView> cells = cut(*row, CellEnd);
    if (!write(sheet, Field::Name, piece(piece(pieceAt(cells, 0), DivEnd, 0), TagEnd, LastPiece)))
        return false;
    const Piece endorsement = piece(pieceAt(cells, 2), TagEnd, 1);
    return endorsement &&
           write(sheet, Field::Endorsement, endorsement->toString().replace(u"&nbsp;"_s, u" "_s));
}

// Writes the segment columns: each cell lists one value per segment, separated by "<BR>";
// the first value follows the pixel marker, the last ends before the closing tags. Up to
// four segments are written; further entries are dropped.
bool parseSegmentRow(const Piece &row, Itinerary &sheet) {
    if (!row)
        return false;
    const QList<QStringView> cells = cut(*row, CellEnd);
    for (const SegmentCell &segmentCell : SegmentCells) {
        const Piece cell = pieceAt(cells, segmentCell.cell);
        if (!cell)
            return false;
        const QList<QStringView> entries = cut(*cell, LineBreak);
        const qsizetype last = entries.size() - 1;
        for (qsizetype i = 0; i <= last && i < SegmentRowCount; ++i) {
            Piece value;
            if (i == 0)
                value = beforeClosingTag(piece(entries[0], PixelMarker, 1));
            else if (i == last)
                value = piece(entries[i], ClosingTagStart, 0);
            else
                value = entries[i];
            if (!write(sheet, segmentField(int(i), segmentCell.column), value))
                return false;
        }
    }
    return true;
}

// Writes the fare, the three taxes and the total, in the order of the page's cells.
bool parseAmountRow(const Piece &row, Itinerary &sheet) {
    if (!row)
        return false;
    const QList<QStringView> cells = cut(*row, CellEnd);
    // The first cell still holds the row's start tag, so its text is the third piece.
    return writeAmount(sheet, Field::Fare, piece(pieceAt(cells, 0), TagEnd, 2), false) &&
           writeAmount(sheet, Field::DevelopmentFund, piece(pieceAt(cells, 1), TagEnd, 1), true) &&
           writeAmount(sheet, Field::FuelSurcharge, piece(pieceAt(cells, 2), TagEnd, 1), true) &&
           writeAmount(sheet, Field::OtherTaxes, piece(pieceAt(cells, 3), TagEnd, 1), true) &&
           writeAmount(sheet, Field::Total, piece(pieceAt(cells, 4), TagEnd, 1), false);
}

// Writes the e-ticket number (after the pixel marker of the first cell's division) and the
// notice (the third cell's first text). The check code and insurance cells are not read.
bool parseTicketRow(const Piece &row, Itinerary &sheet) {
    if (!row)
        return false;
    const QList<QStringView> cells = cut(*row, CellEnd);
    return write(sheet, Field::TicketNumber,
                 piece(piece(pieceAt(cells, 0), DivEnd, 0), PixelMarker, 1)) &&
           write(sheet, Field::Notice, piece(pieceAt(cells, 2), TagEnd, 1));
}

} // namespace

void importResultPage(bool pageReady, const QString &documentMarkup,
                      const std::optional<QString> &thirdTableInnerMarkup, Itinerary &sheet,
                      Messages &messages) {
    if (!pageReady || !documentMarkup.contains(PrintSerialMarker))
        return;
    readResultTable(thirdTableInnerMarkup, sheet, messages);
}

bool readResultTable(const std::optional<QString> &thirdTableInnerMarkup, Itinerary &sheet,
                     Messages &messages) {
    disablePassengerButtons(sheet);
    clearImportedFields(sheet);
    bool complete = false;
    if (thirdTableInnerMarkup) {
        // Rows 0 and 2 are the headers; 1, 3, 4 and 5 hold the data.
        const QList<QStringView> rows = cut(*thirdTableInnerMarkup, RowEnd);
        complete = parsePassengerRow(pieceAt(rows, 1), sheet) &&
                   parseSegmentRow(pieceAt(rows, 3), sheet) &&
                   parseAmountRow(pieceAt(rows, 4), sheet) &&
                   parseTicketRow(pieceAt(rows, 5), sheet);
    }
    if (!complete)
        messages.showMessage(UnrecognisedResultPageMessage.toString());
    return complete;
}

} // namespace itinerary
