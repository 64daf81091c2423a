// What can go wrong when a data file is read or a text is written, as plain data.
// The core reports a DataError; the command-line tool and the desktop shell turn it into words
// with DescribeDataError, so both say the same thing in the same Spanish.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace zento {

enum class DataErrorKind {
    Unreadable,     // the file cannot be opened or read (systemError says why)
    NotRegularFile, // a directory or a device was given where a data file was expected
    TooFewTokens,   // the command must read more tokens than the file holds (D3)
    CountTooLarge,  // a count does not fit the 32-bit fields (K, N, or a total derived from them)
    Cancelled,      // the user stopped a long scan
    WriteFailed,    // the output file could not be written (systemError says why)
};

struct DataError {
    DataErrorKind kind = DataErrorKind::Unreadable;
    std::string path;           // the file concerned, bytes as given
    int systemError = 0;        // errno value where the system reported one
    std::int64_t needed = 0;    // tokens the command had to read (TooFewTokens)
    std::int64_t available = 0; // tokens the file holds (TooFewTokens, CountTooLarge)
    // What the command was asked for, so the message can say what is short.
    std::int64_t columns = 0; // K used by the command (0 when not relevant)
    std::int64_t requestedVariables = 0;
    std::int64_t requestedCases = 0;
    bool modelNames = false; // the shortage happened while reading the names of a model
};

// An error of the given kind about path, with the errno value the system reported (0: none).
inline DataError FileError(DataErrorKind kind, std::string path, int systemError = 0) {
    DataError error;
    error.kind = kind;
    error.path = std::move(path);
    error.systemError = systemError;
    return error;
}

// One Spanish sentence (UTF-8, no trailing line end) for the user.
std::string DescribeDataError(const DataError& error);
// Why a system call failed, in Spanish words for an errno value ("no existe", ...).
std::string DescribeSystemError(int systemError);
// A count and its noun, singular for 1: "1 caso", "3 casos".
std::string CountWords(std::int64_t n, std::string_view one, std::string_view many);

// A value or the reason there is none.
template <class T> class Result {
public:
    Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Result(DataError error) : m_state(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(m_state); }
    const T& value() const { return std::get<0>(m_state); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const DataError& error() const { return std::get<1>(m_state); }

private:
    std::variant<T, DataError> m_state;
};

struct Done {};
using Status = Result<Done>;

} // namespace zento
