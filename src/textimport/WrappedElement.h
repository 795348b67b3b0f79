#pragma once

#include <QString>
#include <QStringView>

namespace itinerary {

// True when `line` starts the display's next element: blanks, digits and a dot, with no
// digit right after the dot (a digit there makes it an amount that wrapped onto the line,
// "    50.00").
bool startsWithElementNumber(QStringView line);

// An element that the terminal wrapped over several lines, read whole: the text from `start`
// (just after the element's marker) to the end of its line, and the lines after it up to the
// next line that starts with an element number, all within `text` up to `limit`. Each line is
// stripped of trailing blanks, then of the terminal's trailing continuation marks ("+", "-"),
// then of blanks at both ends, and the lines are joined with nothing between them. An element
// on one line is returned as a view of `text`; one over several lines is joined into
// `storage`, which the view then shows.
QStringView joinedElement(QStringView text, qsizetype start, qsizetype limit, QString &storage);

} // namespace itinerary
