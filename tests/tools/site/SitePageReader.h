#pragma once

#include <QString>
#include <QStringList>

// What the site's page tests count and cut themselves; the pages are read as the product
// reads them (normaliseTagNames, thirdTableInnerMarkup), and the sheets they give are the
// hand-written expected files (see tests/webimport/tst_resultpagefiles.cpp).
namespace sitetest {

// Number of "<table" start tags, nested ones included, in any case.
int tableCount(const QString &markup);

// Cut at every occurrence, keeping empty pieces; an empty text gives no pieces.
QStringList cut(const QString &text, const QString &marker);

} // namespace sitetest
