#include "journal/JournalFilter.h"

#include "journal/JournalEntry.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {
// Greater than every text that starts with `prefix` (the keys compare code point by code
// point: SQLite's binary collation, PostgreSQL's "C").
QString pastPrefix(const QString &prefix) {
    return prefix + QString::fromUcs4(U"\U0010FFFF");
}
} // namespace

QString JournalFilter::whereClause(QVariantList *values) const {
    QStringList conditions;
    if (from.isValid()) {
        conditions.append(u"printed_at >= ?"_s);
        values->append(from.toString(Qt::ISODate));
    }
    if (to.isValid()) {
        conditions.append(u"printed_at < ?"_s);
        values->append(to.addDays(1).toString(Qt::ISODate));
    }
    if (const QString ticket = ticketSearchKey(ticketNumber); !ticket.isEmpty()) {
        conditions.append(u"ticket_key >= ? AND ticket_key < ?"_s);
        values->append(ticket);
        values->append(pastPrefix(ticket));
    }
    if (const QString name = nameSearchKey(namePrefix); !name.isEmpty()) {
        conditions.append(u"name_key >= ? AND name_key < ?"_s);
        values->append(name);
        values->append(pastPrefix(name));
    }
    if (!counterNames.isEmpty()) {
        QStringList marks;
        for (const QString &counter : counterNames) {
            marks.append(u"?"_s);
            values->append(counter);
        }
        conditions.append(u"counter_name IN (%1)"_s.arg(marks.join(u", "_s)));
    }
    if (conditions.isEmpty())
        return QString();
    return u" WHERE "_s + conditions.join(u" AND "_s);
}

} // namespace itinerary
