#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace itinerary {

using HttpHeaders = QList<std::pair<QByteArray, QByteArray>>;

// One request as it came on the wire: the target is the raw bytes of the request line,
// undecoded, so that a handler can read it by its own rules.
struct HttpRequest {
    QByteArray method;
    QByteArray target;
    HttpHeaders headers; // in the order sent, names as sent
    QByteArray body;
    QString peer; // "ADDR:PORT" of the client, for the log

    // The target up to its first "?".
    QByteArray path() const;
    // The target after its first "?"; empty when there is none.
    QByteArray query() const;
    // Every value of the header `name` (compared without case), in the order sent.
    QByteArrayList headerValues(QByteArrayView name) const;
};

struct HttpResponse {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    HttpHeaders headers; // besides Content-Type, Content-Length and Connection

    // A short plain text answer, with a line end added.
    static HttpResponse text(int status, const QByteArray &text);
};

} // namespace itinerary
