#pragma once

#include "http/HttpMessage.h"

#include <boost/beast/http/basic_parser.hpp>

namespace itinerary {

// Beast's HTTP/1 request parser, filling an HttpRequest as it goes: the target exactly as
// sent, the header lines in order (of any length the header limit allows), the body. One per
// request; the connection enforces the limits around it.
class HttpRequestParser final : public boost::beast::http::basic_parser<true> {
public:
    // Header lines beyond `maxKeptFields` are counted, not kept.
    explicit HttpRequestParser(int maxKeptFields)
        : m_maxKeptFields(maxKeptFields) {}

    HttpRequest &request() { return m_request; }
    int version() const { return m_version; }
    int fieldCount() const { return m_fieldCount; }

private:
    using string_view = boost::beast::string_view;
    using error_code = boost::beast::error_code;

    void on_request_impl(boost::beast::http::verb, string_view method, string_view target,
                         int version, error_code &) override;
    void on_response_impl(int, string_view, int, error_code &) override {}
    void on_field_impl(boost::beast::http::field, string_view name, string_view value,
                       error_code &) override;
    void on_header_impl(error_code &) override {}
    void on_body_init_impl(const boost::optional<std::uint64_t> &length, error_code &) override;
    std::size_t on_body_impl(string_view body, error_code &) override;
    void on_chunk_header_impl(std::uint64_t, string_view, error_code &) override {}
    std::size_t on_chunk_body_impl(std::uint64_t, string_view body, error_code &) override;
    void on_finish_impl(error_code &) override {}

    HttpRequest m_request;
    int m_version = 11;
    int m_maxKeptFields = 0;
    int m_fieldCount = 0;
};

} // namespace itinerary
