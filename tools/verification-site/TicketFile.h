#pragma once

#include "SiteTicket.h"

#include "base/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace itinerary::site {

// The tickets the site answers for, read from a JSON file:
//   {"tickets": [{"ticketNumber": "999-2101234567", "passengerName": "王小明",
//                 "idNumber": "...", "endorsement": "...", "printSerial": "...",
//                 "cities": [{"name": "北京首都T3", "airport": "PEK"}, ...],
//                 "segments": [{"carrier": "国航", "flight": "CA1501", "class": "Y",
//                               "date": "2026-05-12", "time": "08:30", "fareBasis": "Y",
//                               "notValidBefore": "", "notValidAfter": "", "baggage": "20K"}],
//                 "amounts": {"fare": "...", "developmentFund": "...", "fuelSurcharge": "...",
//                             "otherTaxes": "...", "total": "..."},
//                 "checkCode": "...", "notice": "...", "insurance": "..."}]}
// The ticket number is 13 digits (a hyphen after the airline prefix is dropped), the name is
// not empty, there are 1 to 8 segments and one city more than segments. Every other text is
// optional. Unknown keys, duplicate ticket numbers and control characters are errors, so a
// typing mistake in a test file is reported instead of silently producing another page.
inline constexpr int MaxSegmentsPerTicket = 8;

// The tickets, or what is wrong with the file.
Result<QList<SiteTicket>> parseTickets(const QByteArray &json);
// As parseTickets, with the file's path in front of any error.
Result<QList<SiteTicket>> loadTicketFile(const QString &path);
// The sample tickets compiled into the program: one, two and four segments.
QList<SiteTicket> builtInTickets();

} // namespace itinerary::site
