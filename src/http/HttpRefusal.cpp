#include "http/HttpRefusal.h"

#include <boost/beast/http/error.hpp>

#include <algorithm>

namespace http = boost::beast::http;

namespace itinerary {

namespace {

// Longest request path quoted in the log.
constexpr qsizetype MaxLoggedPath = 160;

bool hasControlCharacter(const QByteArray &value) {
    return std::any_of(value.begin(), value.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return (c < 0x20 && c != '\t') || c == 0x7F;
    });
}

QByteArray methodRefusal(const QByteArrayList &methods) {
    QByteArray text = "only ";
    for (qsizetype i = 0; i < methods.size(); ++i) {
        if (i > 0)
            text += i + 1 == methods.size() ? " and " : ", ";
        text += methods.at(i);
    }
    return text + (methods.size() == 1 ? " is served" : " are served");
}

} // namespace

std::optional<HttpRefusal> refuseHeader(const HttpLimits &limits, const HttpRequest &request,
                                        int headerLines, std::size_t headerBytes,
                                        std::uint64_t contentLength) {
    const std::size_t requestLine = std::size_t(request.method.size() + request.target.size()) +
                                    10; // two spaces and "HTTP/1.x"
    if (requestLine > std::size_t(limits.maxRequestLine))
        return HttpRefusal{414, "request line too long"};
    if (headerLines > limits.maxHeaderLines)
        return HttpRefusal{431, "too many header lines"};
    if (headerBytes > requestLine + 4 + std::size_t(limits.maxHeaderBytes))
        return HttpRefusal{431, "header lines too large"};
    QByteArrayList codings; // of every Transfer-Encoding line, in order
    bool transferEncoding = false;
    bool lengthGiven = false;
    for (const auto &[name, value] : request.headers) {
        if (hasControlCharacter(value))
            return HttpRefusal{400, "malformed header line"};
        if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
            transferEncoding = true;
            for (const QByteArray &coding : value.split(','))
                codings.append(coding.trimmed().toLower());
        }
        lengthGiven = lengthGiven || name.compare("Content-Length", Qt::CaseInsensitive) == 0;
    }
    // Where the body ends must be beyond doubt, or what follows it could be read as a request
    // of its own: chunked last, and no length beside it.
    if (transferEncoding && lengthGiven)
        return HttpRefusal{400, "Transfer-Encoding and Content-Length together"};
    if (transferEncoding && codings.constLast() != "chunked")
        return HttpRefusal{400, "the last transfer coding is not chunked"};
    if (codings.size() > 1)
        return HttpRefusal{501, "only the chunked transfer coding is served"};
    if (!limits.methods.contains(request.method))
        return HttpRefusal{405, methodRefusal(limits.methods)};
    if ((transferEncoding || contentLength > 0) && limits.maxBodyBytes == 0)
        return HttpRefusal{413, "request body not accepted"};
    if (contentLength > std::uint64_t(limits.maxBodyBytes))
        return HttpRefusal{413, "request body too large"};
    return std::nullopt;
}

HttpRefusal refuseParseError(const HttpLimits &limits, boost::beast::error_code ec,
                             std::size_t requestLine, bool requestLineTaken, bool headerDone) {
    if (ec == http::error::header_limit) {
        // One byte more is allowed for the carriage return before the line feed.
        if (requestLine > std::size_t(limits.maxRequestLine) + 1)
            return {414, "request line too long"};
        return {431, "header lines too large"};
    }
    if (ec == http::error::body_limit)
        return {413, "request body too large"};
    if (ec == http::error::bad_method || ec == http::error::bad_target ||
        ec == http::error::bad_version || !requestLineTaken)
        return {400, "malformed request line"};
    if (!headerDone)
        return {400, "malformed header line"};
    return {400, "malformed request body"};
}

QByteArray loggableRequest(const QByteArray &method, const QByteArray &target) {
    if (method.isEmpty())
        return QByteArray();
    const qsizetype question = target.indexOf('?');
    const qsizetype pathLength = question < 0 ? target.size() : question;
    QByteArray shown = method + ' ';
    for (qsizetype i = 0; i < pathLength && i < MaxLoggedPath; ++i) {
        const auto c = static_cast<unsigned char>(target.at(i));
        if (c > 0x20 && c < 0x7F && c != '%')
            shown += char(c);
        else
            shown += '%' + QByteArray::number(c, 16).rightJustified(2, '0').toUpper();
    }
    if (pathLength > MaxLoggedPath)
        shown += "...";
    if (question >= 0)
        shown += "?[" + QByteArray::number(target.size() - question - 1) + " bytes]";
    return shown;
}

} // namespace itinerary
