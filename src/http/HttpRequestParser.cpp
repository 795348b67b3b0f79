#include "http/HttpRequestParser.h"

namespace itinerary {

namespace {

QByteArray bytes(boost::beast::string_view view) {
    return QByteArray(view.data(), qsizetype(view.size()));
}

} // namespace

void HttpRequestParser::on_request_impl(boost::beast::http::verb, string_view method,
                                        string_view target, int version, error_code &) {
    m_request.method = bytes(method);
    m_request.target = bytes(target);
    m_version = version;
}

void HttpRequestParser::on_field_impl(boost::beast::http::field, string_view name,
                                      string_view value, error_code &) {
    if (++m_fieldCount <= m_maxKeptFields)
        m_request.headers.append({bytes(name), bytes(value)});
}

void HttpRequestParser::on_body_init_impl(const boost::optional<std::uint64_t> &length,
                                          error_code &) {
    // The connection has checked the length against its limit already.
    if (length)
        m_request.body.reserve(qsizetype(*length));
}

std::size_t HttpRequestParser::on_body_impl(string_view body, error_code &) {
    m_request.body.append(body.data(), qsizetype(body.size()));
    return body.size();
}

std::size_t HttpRequestParser::on_chunk_body_impl(std::uint64_t, string_view body, error_code &) {
    m_request.body.append(body.data(), qsizetype(body.size()));
    return body.size();
}

} // namespace itinerary
