#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// Test-side reading of the site's pages the way the product reads them, so the tests can
// check the pages' shape and the expected-sheet fixtures without the product's own reader.
namespace sitetest {

// Tag names after "<" and "</" upper-cased; every other character as it was.
QString upperCaseTagNames(const QString &markup);

// The inner markup of the third table element in text order (every "<table" start tag
// counts, nested ones too), up to its matching end tag; tag names compared without case.
std::optional<QString> thirdTableInner(const QString &markup);

// Number of "<table" start tags, nested ones included.
int tableCount(const QString &markup);

// Cut at every occurrence, keeping empty pieces; an empty text gives no pieces.
QStringList cut(const QString &text, const QString &marker);

// What the result page reader writes from the third table's upper-cased inner markup: the
// fields an import clears or writes (0, 2, 5-29, 30-34, 36, 50-58), cleared fields empty.
// As the product reads: a single segment entry is cut before "</", and character
// references left in a value are decoded. nullopt when a piece that is read is missing.
std::optional<QMap<int, QString>> readResultFields(const QString &tableInner);

} // namespace sitetest
