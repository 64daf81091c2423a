// A value or the reason there is none: what the core's functions return instead of throwing.
#pragma once

#include <utility>
#include <variant>

namespace zento {

template <class T, class Error> class ValueOrError {
public:
    ValueOrError(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    ValueOrError(Error error) : m_state(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(m_state); }
    const T& value() const { return std::get<0>(m_state); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const Error& error() const { return std::get<1>(m_state); }

private:
    std::variant<T, Error> m_state;
};

} // namespace zento
