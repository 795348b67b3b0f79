// GET /api/journal, POST /api/journal/void, GET /api/journal.csv.
#include "ApiCall.h"

#include "journal/JournalCsv.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {

constexpr int MaxRowsShown = 1000;

QDate dateParameter(const ApiCall &call, const QString &name) {
    const QString text = call.queryValue(name);
    if (text.isEmpty())
        return QDate();
    const QDate date = QDate::fromString(text, u"yyyy-MM-dd"_s);
    if (!date.isValid())
        throw ApiRefusal{400, refusal::Malformed + u"：%1 必须是日期 YYYY-MM-DD"_s.arg(name)};
    return date;
}

// The rows the query asks for, among those the user may see: an agent sees the counters
// assigned to them.
std::optional<JournalFilter> requestedRows(ApiCall &call) {
    JournalFilter filter;
    filter.from = dateParameter(call, u"from"_s);
    filter.to = dateParameter(call, u"to"_s);
    filter.ticketNumber = call.queryValue(u"ticket"_s);
    filter.namePrefix = call.queryValue(u"name"_s);
    const QString counter = call.queryValue(u"counter"_s);
    if (!counter.isEmpty())
        filter.counterNames = {call.usableCounter(counter).name};
    else if (!call.maySeeEveryCounter())
        filter.counterNames = call.store().counterNamesOf(call.sessionUser().name);
    if (filter.counterNames.isEmpty() && !call.maySeeEveryCounter())
        return std::nullopt; // an agent without a counter sees nothing
    return filter;
}

QString outcome(const JournalEntry &entry) {
    if (!entry.printed)
        return u"not printed"_s;
    return entry.message.isEmpty() ? u"printed"_s : entry.message;
}

QJsonObject rowJson(const JournalEntry &entry) {
    return QJsonObject{
        {u"id"_s, entry.id},
        {u"time"_s, entry.timeText()},
        {u"counter"_s, entry.counterName},
        {u"user"_s, entry.userName},
        {u"outcome"_s, outcome(entry)},
        {u"message"_s, entry.message},
        {u"checkCode"_s, entry.checkCode},
        {u"ticket"_s, entry.ticketNumber},
        {u"name"_s, entry.passengerName},
        {u"record"_s, entry.recordCode},
        {u"total"_s, entry.total},
        {u"intl"_s, entry.international ? 1 : 0},
        {u"left"_s, entry.leftOffsetMm},
        {u"top"_s, entry.topOffsetMm},
        {u"printer"_s, entry.printerName},
        {u"voided"_s, entry.voided},
        {u"voidReason"_s, entry.voidReason},
        {u"fields"_s, QJsonArray::fromStringList(entry.fieldValues)},
    };
}

HttpResponse journal(ApiCall &call) {
    const std::optional<JournalFilter> filter = requestedRows(call);
    QJsonArray rows;
    if (filter) {
        for (const JournalEntry &entry : call.store().journalEntries(*filter, MaxRowsShown))
            rows.append(rowJson(entry));
    }
    return jsonAnswer(QJsonObject{{u"rows"_s, rows}});
}

HttpResponse journalCsv(ApiCall &call) {
    const std::optional<JournalFilter> filter = requestedRows(call);
    const QList<JournalEntry> rows =
        filter ? call.store().journalEntries(*filter, 0) : QList<JournalEntry>();
    HttpResponse answer{200, "text/csv; charset=utf-8", journalcsv::document(rows), {}};
    addHeader(answer, "Content-Disposition", "attachment; filename=\"journal.csv\"");
    return answer;
}

HttpResponse voidRow(ApiCall &call) {
    const QString id = call.text(u"id"_s);
    const QString reason = call.text(u"reason"_s).trimmed();
    if (reason.isEmpty())
        throw ApiRefusal{400, u"请填写作废原因"_s};
    WebStore &store = call.store();
    if (!store.journalEntry(id))
        throw ApiRefusal{404, u"找不到这条记录"_s};
    if (!store.voidJournalEntry(id, reason, QDateTime::currentDateTime()))
        throw ApiRefusal{409, u"这条记录已作废"_s};
    return jsonAnswer(rowJson(*store.journalEntry(id)));
}

} // namespace

QList<Endpoint> journalEndpoints() {
    return {
        {"GET", "/api/journal", Access::Session, journal},
        {"GET", "/api/journal.csv", Access::Session, journalCsv},
        {"POST", "/api/journal/void", Access::Supervisor, voidRow},
    };
}

} // namespace itinerary::web
