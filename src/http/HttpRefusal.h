#pragma once

#include "http/HttpLimits.h"
#include "http/HttpMessage.h"

#include <boost/beast/core/error.hpp>

#include <cstdint>
#include <optional>

namespace itinerary {

// A request the server answers itself: a 4xx with a short text, and the connection closes.
struct HttpRefusal {
    int status = 400;
    QByteArray text;
};

// What a whole header earns under `limits`; nothing when the request may go on. Besides the
// limits, a body must be framed beyond doubt: Transfer-Encoding must end in "chunked" and
// comes without Content-Length (400), and no coding but "chunked" is served (501).
// `headerBytes` counts the request line, the header lines and their line ends.
std::optional<HttpRefusal> refuseHeader(const HttpLimits &limits, const HttpRequest &request,
                                        int headerLines, std::size_t headerBytes,
                                        std::uint64_t contentLength);

// What a parse error earns. `requestLine` is the request line's length as far as it is
// known; `requestLineTaken` whether the parser got past it, `headerDone` past the header.
HttpRefusal refuseParseError(const HttpLimits &limits, boost::beast::error_code ec,
                             std::size_t requestLine, bool requestLineTaken, bool headerDone);

// The request as a log line shows it: the method and the path, printable ASCII as it is and
// every other byte escaped, so a hostile target cannot forge log lines; of the query only its
// length, for it carries the passenger's name and papers.
QByteArray loggableRequest(const QByteArray &method, const QByteArray &target);

} // namespace itinerary
