#pragma once

#include <string>
#include <utility>
#include <variant>

namespace kel {

// The message is final where it is raised: the window and the report tool show it unchanged.
struct Error
{
    std::string message;
    int line = 0; // 1-based line of the card it concerns; 0 when it concerns no line
};

// A value or the Error that prevented it (std::expected is C++23); value() only when ok().
template <class T>
class [[nodiscard]] Result
{
public:
    Result(T value) : m_v(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_v(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_v.index() == 0; }
    explicit operator bool() const { return ok(); }

    T &value() { return std::get<0>(m_v); }
    const T &value() const { return std::get<0>(m_v); }
    T &operator*() { return value(); }
    const T &operator*() const { return value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }

    const Error &error() const { return std::get<1>(m_v); }

private:
    std::variant<T, Error> m_v;
};

template <>
class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Error error) : m_error(std::move(error)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error &error() const { return m_error; }

private:
    Error m_error;
    bool m_failed = false;
};

} // namespace kel
