#include "textimport/CodeTables.h"

#include "sheet/TextRules.h"
#include "textimport/CodeList.h"

#include <QFile>
#include <QStringView>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// The data files compiled in as resources.
const QString AirportsResource = u":/itinerary/textimport/airports.tsv"_s;
const QString AirlinesResource = u":/itinerary/textimport/airlines.tsv"_s;

// One compiled-in table. The files are part of the program: a line that is no entry, an entry
// of the other table or a code listed twice (a line that could never be used) is a fault of
// the build, not of a user.
CodeTable readTableResource(const QString &path, bool airports) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("code table %s: %s", qPrintable(path), qPrintable(file.errorString()));
    CodeList list = parseCodeList(QString::fromUtf8(file.readAll()), CodeSource::BuiltIn);
    if (!list.unrecognisedLines.isEmpty())
        qFatal("code table %s: line %d is no entry", qPrintable(path),
               list.unrecognisedLines.first());
    if (!(airports ? list.airlines : list.airports).isEmpty())
        qFatal("code table %s: an entry of the other table", qPrintable(path));
    CodeTable table;
    for (const CodeEntry &entry : airports ? list.airports : list.airlines) {
        if (!table.append(entry))
            qFatal("code table %s: %s listed twice", qPrintable(path), qPrintable(entry.code));
    }
    return table;
}

CodeLookup lookUp(const CodeTable &table, const QString &code,
                  QString (*unlisted)(const QString &)) {
    if (const CodeEntry *entry = table.find(code))
        return CodeLookup{entry->name, entry->source};
    return CodeLookup{unlisted(code), std::nullopt};
}

using MonthDigits = std::pair<QStringView, QStringView>;

constexpr std::array<MonthDigits, 12> Months{{
    {u"JAN", u"01"},
    {u"FEB", u"02"},
    {u"MAR", u"03"},
    {u"APR", u"04"},
    {u"MAY", u"05"},
    {u"JUN", u"06"},
    {u"JUL", u"07"},
    {u"AUG", u"08"},
    {u"SEP", u"09"},
    {u"OCT", u"10"},
    {u"NOV", u"11"},
    {u"DEC", u"12"},
}};

} // namespace

QString unknownAirportName(const QString &upperCode) {
    return isAirportCode(upperCode) ? upperCode : QString();
}

QString unknownAirlineName(const QString &upperCode) {
    return isAirlineCode(upperCode) ? upperCode : u"未知"_s;
}

const CodeTables &CodeTables::builtIn() {
    // Initialised once, under the lock the language puts around a local static.
    static const CodeTables tables = readBuiltIn();
    return tables;
}

CodeTables CodeTables::readBuiltIn() {
    CodeTables tables;
    tables.m_airports = readTableResource(AirportsResource, true);
    tables.m_airlines = readTableResource(AirlinesResource, false);
    return tables;
}

CodeTables CodeTables::withAgencyCodes(const CodeList &agencyCodes) const {
    CodeTable airports;
    CodeTable airlines;
    for (const CodeEntry &entry : agencyCodes.airports)
        airports.append(entry);
    for (const CodeEntry &entry : agencyCodes.airlines)
        airlines.append(entry);
    CodeTables tables = *this;
    for (const CodeEntry &entry : airports.entries())
        tables.m_airports.replaceOrAppend(entry);
    for (const CodeEntry &entry : airlines.entries())
        tables.m_airlines.replaceOrAppend(entry);
    return tables;
}

CodeLookup CodeTables::airport(const QString &code) const {
    return lookUp(m_airports, toUpperSimple(code), unknownAirportName);
}

CodeLookup CodeTables::airline(const QString &code) const {
    return lookUp(m_airlines, trimBlanks(toUpperSimple(code)), unknownAirlineName);
}

QString monthNumber(const QString &month) {
    const QString upper = toUpperSimple(month);
    for (const MonthDigits &row : Months) {
        if (row.first == upper)
            return row.second.toString();
    }
    return QString();
}

} // namespace itinerary
