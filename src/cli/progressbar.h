// A one-line progress bar on standard error, drawn only when standard error is a terminal: a
// log file or a pipe gets nothing, so what a script captures stays clean.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace zento::cli {

class ProgressBar {
public:
    ProgressBar(std::FILE* err, std::int64_t total);
    ~ProgressBar(); // erases the line, so that what follows starts on a clean one
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Show(std::int64_t done);
    void Erase();

private:
    std::FILE* m_err;
    std::int64_t m_total;
    bool m_terminal;
    std::string m_shown;
};

// The bar's line for done of total iterations, 79 columns at most (no line end).
std::string ProgressLine(std::int64_t done, std::int64_t total);

} // namespace zento::cli
