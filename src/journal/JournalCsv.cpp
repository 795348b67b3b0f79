#include "journal/JournalCsv.h"

#include "sheet/FieldMap.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace itinerary::journalcsv {

namespace {
// A spreadsheet runs a cell that starts with "=", "+", "-" or "@" as a formula; names and
// messages come from bookings and web pages, so such a cell gets a leading apostrophe and
// is shown as text. Signed numbers ("-2", an offset) stay numbers.
bool readsAsFormula(const QString &value) {
    if (value.isEmpty())
        return false;
    const QChar first = value.front();
    if (first == u'=' || first == u'@' || first == u'\t' || first == u'\r')
        return true;
    if (first != u'+' && first != u'-')
        return false;
    bool number = false;
    value.mid(1).toDouble(&number);
    return !number;
}

QString quoted(const QString &value) {
    QString text = readsAsFormula(value) ? u'\'' + value : value;
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n'))
        return text;
    text.replace(u'"', u"\"\""_s);
    return u'"' + text + u'"';
}

QByteArray csvLine(const QStringList &values) {
    QStringList cells;
    cells.reserve(values.size());
    for (const QString &value : values)
        cells.append(quoted(value));
    return (cells.join(u',') + u"\r\n"_s).toUtf8();
}
} // namespace

QByteArray header() {
    QStringList names{u"时间"_s,       u"柜台"_s,       u"结果"_s,     u"提示"_s, u"验证码"_s,
                      u"票号"_s,       u"旅客姓名"_s,   u"订座记录"_s, u"合计"_s, u"国内/国际"_s,
                      u"左偏移(mm)"_s, u"上偏移(mm)"_s, u"打印机"_s,   u"作废"_s, u"作废原因"_s,
                      u"作废时间"_s,   u"记录号"_s};
    for (int i = 0; i < FieldCount; ++i)
        names.append(u"字段%1"_s.arg(i, 2, 10, QLatin1Char('0')));
    return QByteArray("\xEF\xBB\xBF") + csvLine(names);
}

QByteArray line(const JournalEntry &entry) {
    QStringList values{entry.timeText(),
                       entry.counterName,
                       entry.printed ? u"已打印"_s : u"未打印"_s,
                       entry.message,
                       entry.checkCode,
                       entry.ticketNumber,
                       entry.passengerName,
                       entry.recordCode,
                       entry.total,
                       entry.international ? u"国际"_s : u"国内"_s,
                       entry.leftOffsetMm,
                       entry.topOffsetMm,
                       entry.printerName,
                       entry.voided ? u"作废"_s : QString(),
                       entry.voidReason,
                       entry.voidedAt,
                       entry.id};
    values += entry.fieldValues;
    return csvLine(values);
}

QByteArray document(const QList<JournalEntry> &entries) {
    QByteArray bytes = header();
    for (const JournalEntry &entry : entries)
        bytes += line(entry);
    return bytes;
}

} // namespace itinerary::journalcsv
