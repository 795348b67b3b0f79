#include "journal/JournalEntry.h"

#include "print/PrintRecorder.h"
#include "sheet/FieldMap.h"
#include "sheet/TextRules.h"

#include <QJsonArray>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace itinerary {

QString ticketSearchKey(const QString &ticketNumber) {
    QString digits;
    for (QChar c : ticketNumber) {
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    }
    return digits;
}

QString nameSearchKey(const QString &name) {
    return name.trimmed().toUpper();
}

QString timeWithOffset(const QDateTime &time) {
    const int offset = time.offsetFromUtc();
    const QDateTime fixed = time.toOffsetFromUtc(offset);
    QString text = fixed.toString(u"yyyy-MM-ddTHH:mm:ss.zzz"_s);
    const int minutes = std::abs(offset) / 60;
    text += offset < 0 ? u'-' : u'+';
    text += u"%1:%2"_s.arg(minutes / 60, 2, 10, QLatin1Char('0'))
                .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return text;
}

JournalEntry JournalEntry::fromAttempt(const PrintAttempt &attempt, const QString &counterName) {
    JournalEntry entry;
    entry.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    entry.time = attempt.time;
    entry.counterName = counterName;
    entry.printed = attempt.printed;
    entry.message = attempt.message;
    entry.fieldValues = attempt.fieldValues;
    while (entry.fieldValues.size() < FieldCount)
        entry.fieldValues.append(QString());
    entry.checkCode = trimBlanks(attempt.checkCode);
    entry.ticketNumber = trimBlanks(entry.fieldValues.at(Field::TicketNumber));
    entry.passengerName = trimBlanks(entry.fieldValues.at(Field::Name));
    entry.recordCode = trimBlanks(entry.fieldValues.at(Field::RecordCode));
    entry.total = trimBlanks(entry.fieldValues.at(Field::Total));
    entry.international = attempt.intlFlag != 0;
    entry.leftOffsetMm = attempt.leftOffsetMm;
    entry.topOffsetMm = attempt.topOffsetMm;
    entry.printerName = attempt.printerName;
    return entry;
}

QString JournalEntry::timeText() const {
    return timeWithOffset(time);
}

QString JournalEntry::ticketKey() const {
    return ticketSearchKey(ticketNumber);
}

QString JournalEntry::nameKey() const {
    return nameSearchKey(passengerName);
}

QJsonObject JournalEntry::toJson() const {
    return QJsonObject{
        {u"id"_s, id},
        {u"time"_s, timeText()},
        {u"counter"_s, counterName},
        {u"user"_s, userName},
        {u"printed"_s, printed},
        {u"message"_s, message},
        {u"checkCode"_s, checkCode},
        {u"ticketNumber"_s, ticketNumber},
        {u"passengerName"_s, passengerName},
        {u"recordCode"_s, recordCode},
        {u"total"_s, total},
        {u"international"_s, international},
        {u"leftOffsetMm"_s, leftOffsetMm},
        {u"topOffsetMm"_s, topOffsetMm},
        {u"printer"_s, printerName},
        {u"fields"_s, QJsonArray::fromStringList(fieldValues)},
        {u"void"_s, voided},
        {u"voidReason"_s, voidReason},
        {u"voidedAt"_s, voidedAt},
    };
}

std::optional<JournalEntry> JournalEntry::fromJson(const QJsonObject &object) {
    JournalEntry entry;
    entry.id = object.value(u"id"_s).toString();
    entry.time = QDateTime::fromString(object.value(u"time"_s).toString(), Qt::ISODateWithMs);
    const QJsonArray fields = object.value(u"fields"_s).toArray();
    if (entry.id.isEmpty() || !entry.time.isValid() || fields.size() != FieldCount)
        return std::nullopt;
    for (const QJsonValue &value : fields)
        entry.fieldValues.append(value.toString());
    entry.counterName = object.value(u"counter"_s).toString();
    entry.userName = object.value(u"user"_s).toString();
    entry.printed = object.value(u"printed"_s).toBool();
    entry.message = object.value(u"message"_s).toString();
    entry.checkCode = object.value(u"checkCode"_s).toString();
    entry.ticketNumber = object.value(u"ticketNumber"_s).toString();
    entry.passengerName = object.value(u"passengerName"_s).toString();
    entry.recordCode = object.value(u"recordCode"_s).toString();
    entry.total = object.value(u"total"_s).toString();
    entry.international = object.value(u"international"_s).toBool();
    entry.leftOffsetMm = object.value(u"leftOffsetMm"_s).toString();
    entry.topOffsetMm = object.value(u"topOffsetMm"_s).toString();
    entry.printerName = object.value(u"printer"_s).toString();
    entry.voided = object.value(u"void"_s).toBool();
    entry.voidReason = object.value(u"voidReason"_s).toString();
    entry.voidedAt = object.value(u"voidedAt"_s).toString();
    return entry;
}

} // namespace itinerary
