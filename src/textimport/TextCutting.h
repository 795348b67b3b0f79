#pragma once

#include "base/AsciiText.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// How the booking display parser takes a text apart: it cuts the whole text at fixed markers
// and reads fixed columns, never walking it line by line.
namespace itinerary {

// Every line end (CR LF, a lone LF or a lone CR) written as CR LF, the form the reservation
// terminal and the paste box deliver.
QString normaliseLineEnds(const QString &text);

// The text without the terminal's control characters (U+0000-U+001F other than tab, CR and
// LF, and U+007F: its page codes and the DEL before a command), which no field may hold.
QString dropControlCharacters(const QString &text);

// The text split at every exact, case-sensitive occurrence of `marker`, empty pieces kept: a
// text without the marker is one piece, an empty text one empty piece.
QList<QStringView> cutText(QStringView text, QStringView marker);

// Item `index` (from 0) of the text cut at `separator`, or nothing when it has fewer items.
std::optional<QStringView> itemAt(QStringView text, QChar separator, qsizetype index);

// The text before the first occurrence of `marker`, or the whole text when there is none.
QStringView beforeMarker(QStringView text, QStringView marker);

// The text up to its first line break (CR or LF).
QStringView firstLine(QStringView text);

// Columns `first` to `last` (counted from 1) of `line`; a range partly or wholly past the
// end gives the characters that exist.
QStringView columns(QStringView line, qsizetype first, qsizetype last);

// True for the characters names are trimmed of and split at: space, tab, CR and LF.
inline bool isNameSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

} // namespace itinerary
