#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace itinerary {

// Where the name of a code comes from.
enum class CodeSource {
    BuiltIn,    // the tables compiled into the program
    AgencyFile, // the agency's own codes.txt
};

struct CodeEntry {
    QString code;
    QString name;
    CodeSource source = CodeSource::BuiltIn;
    bool operator==(const CodeEntry &) const = default;
};

// Codes and their names in the order they were listed, with a hash of each code's position:
// a lookup costs the same wherever the code stands, and a code listed twice keeps its first
// name, as when the codes were compared from the top. Reading from several threads at once
// is safe; changing is not.
class CodeTable final {
public:
    // Appends the entry unless its code is listed already; false then.
    bool append(const CodeEntry &entry);
    // Gives a listed code this entry's name and source in its place, or appends the entry.
    void replaceOrAppend(const CodeEntry &entry);
    // The entry of exactly this code, or null.
    const CodeEntry *find(const QString &code) const;
    const QList<CodeEntry> &entries() const { return m_entries; }

private:
    QList<CodeEntry> m_entries;
    QHash<QString, qsizetype> m_positions;
};

} // namespace itinerary
