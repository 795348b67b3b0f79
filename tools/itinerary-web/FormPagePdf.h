#pragma once

#include <QByteArray>
#include <QList>
#include <QPageSize>
#include <QString>

namespace itinerary::web {

// One receipt on its form: the picture, placed `leftTwips` right of and `topTwips` below the
// form's top-left corner, stretched to the receipt's 11640 x 5970 twips.
struct FormPage {
    QByteArray picture;
    int leftTwips = 0;
    int topTwips = 0;
};

// A PDF whose every page is the form itself (the receipt layout's page, about 205.3 x
// 105.3 mm, no margins), one page per receipt, each at its offsets; what falls beyond the
// page is cut off, as the printer's edge cuts it. A browser prints it at 100 % on the form.
// Empty when a picture does not decode or there is no page.
QByteArray formPagePdf(const QList<FormPage> &pages, const QString &title);
// The same on pages of `paper` (a printer's own paper), the receipt from its top-left corner.
QByteArray formPagePdf(const QList<FormPage> &pages, const QString &title, const QPageSize &paper);

} // namespace itinerary::web
