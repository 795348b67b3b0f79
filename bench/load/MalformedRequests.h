#pragma once

#include <QStringList>

namespace itinerary::load {

struct MalformedReport {
    int passed = 0;
    QStringList lines;    // one per request: what was sent and what came back
    QStringList failures; // the requests that were not answered as they must be
};

// Sends the requests a service on the open network must survive, each on its own connection
// to the service on loopback at `port`: a print request without a query, without "p", with 58
// and 60 values, with bad percent-escapes, with invalid UTF-8 and GBK bytes, a 1 MiB request
// line, a flood of headers, and a client that sends one byte a second (meanwhile, on its own
// thread). Each must be answered with the expected 4xx, with the receipt picture, or be cut
// off where that is allowed. Bounded: about the service's request deadline (10 s).
MalformedReport sendMalformedRequests(quint16 port);

// GET /health answers "ok" and a print request the receipt picture.
bool serviceAnswers(quint16 port, QString *problem);

} // namespace itinerary::load
