#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Reading the print request as it arrives on the wire. QtCore only, so the fuzz target and
// the core tools can use it without a display.
namespace itinerary {

// What one request target of the print address carries.
struct RenderRequest {
    int intlFlag = 0;   // 0 domestic, 1 international
    QStringList values; // the field values in index order, as many as the request carried
};

struct RenderRequestParse {
    bool ok = false;
    QString error; // a short English text for the 4xx answer when !ok
    RenderRequest request;
};

// Parses a raw request target such as "/Print/print.asp?l=0&p=A,B,%E5%BC%A0&2026-12-07%2010:00"
// (or only its query). The values are not taken apart by a URL parser, because a value may
// hold "&", "+" or "," as it stands:
// - "l" is the text between the leading "l=" of the query and the first "&"; it must be
//   "0" or "1";
// - "p" is everything after the first "&p=" up to the last "&" (to the end when no "&"
//   follows, that is when the time-stamp is missing);
// - p is split at "," and only then is each value percent-decoded ("+" stays "+"), and its
//   bytes read as UTF-8, or as GB18030 when they are not valid UTF-8.
// A "%" that is not followed by two hexadecimal digits makes the request malformed.
RenderRequestParse parseRenderRequestTarget(QByteArrayView target);

// Percent-decodes `text`; false when a "%" is not followed by two hexadecimal digits.
bool percentDecode(QByteArrayView text, QByteArray *out);

} // namespace itinerary
