#pragma once

#include <QByteArray>
#include <QStringList>

namespace itinerary::load {

// A full receipt of 59 values as the counters send it; `serial` varies the ticket number so
// that no two pictures are alike.
QStringList receiptValues(int serial);
// The request target the print job sends for `values`: everything after the "?" percent-
// encoded as UTF-8 except unreserved characters, the separators "=" and "&", and the ","
// between the values (one inside a value is escaped).
QByteArray printTarget(const QStringList &values, int intlFlag = 0);
// A GET request on a kept-alive connection, or one that asks the service to close after it.
QByteArray getRequest(const QByteArray &target, bool close = false,
                      const QByteArray &extraHeaders = {});
// A PNG of the receipt page's size (2425 x 1244), as the service draws it.
bool isReceiptPicture(const QByteArray &body);

} // namespace itinerary::load
