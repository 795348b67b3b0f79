#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace itinerary {

struct PrintAttempt;

// One row of the print journal: a print attempt as the counter made it, and its void mark.
struct JournalEntry {
    // Unique, made on the counter where it was printed: a row sent twice is stored once.
    QString id;
    // The counter's local time, with its offset from UTC.
    QDateTime time;
    QString counterName;
    // Who printed it at the web counter; empty for the window and the command line.
    QString userName;
    bool printed = false;
    QString message;
    QString checkCode;
    QString ticketNumber;
    QString passengerName;
    QString recordCode;
    QString total;
    bool international = false;
    QString leftOffsetMm;
    QString topOffsetMm;
    QString printerName;
    // The 59 sheet texts, so that the receipt can be reproduced.
    QStringList fieldValues;
    bool voided = false;
    QString voidReason;
    QString voidedAt;

    static JournalEntry fromAttempt(const PrintAttempt &attempt, const QString &counterName);

    // "2026-12-07T09:05:03.250+08:00": sorts by time within one offset, and the date comes
    // first, so a day's rows are those between "2026-12-07" and "2026-12-08".
    QString timeText() const;
    // The e-ticket number's digits, the passenger name upper-cased: what searches compare.
    QString ticketKey() const;
    QString nameKey() const;

    // The whole row (for the outbox and `itinerary-cli journal`), and back.
    QJsonObject toJson() const;
    static std::optional<JournalEntry> fromJson(const QJsonObject &object);
};

// Search keys: digits only, and upper case with the blanks at both ends removed.
QString ticketSearchKey(const QString &ticketNumber);
QString nameSearchKey(const QString &name);
// An ISO 8601 time with milliseconds and the offset, always written out ("+08:00", "Z" never).
QString timeWithOffset(const QDateTime &time);

} // namespace itinerary
