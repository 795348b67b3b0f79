#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace itinerary {

// What a step that can fail gives back: its value, or why there is none (by default a
// sentence for the operator or the log). Result<> carries no value, only success or the
// reason.
template <typename T = std::monostate, typename Error = QString> class [[nodiscard]] Result final {
public:
    Result(T value)
        : m_value(std::move(value)) {}
    static Result failure(Error error) { return Result(std::nullopt, std::move(error)); }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const & { return *m_value; }
    T &value() & { return *m_value; }
    T &&value() && { return std::move(*m_value); }
    const T *operator->() const { return &*m_value; }
    T *operator->() { return &*m_value; }
    const T &operator*() const & { return *m_value; }
    T &operator*() & { return *m_value; }
    T &&operator*() && { return std::move(*m_value); }
    T value_or(T fallback) const { return m_value.value_or(std::move(fallback)); }
    // Meaningful only when the step failed.
    const Error &error() const { return m_error; }

private:
    Result(std::nullopt_t, Error error)
        : m_error(std::move(error)) {}

    std::optional<T> m_value;
    Error m_error{};
};

// The success of a step that has no value to give.
inline Result<> succeeded() {
    return Result<>(std::monostate());
}

} // namespace itinerary
