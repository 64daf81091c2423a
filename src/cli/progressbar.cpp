// Drawing the progress bar with a carriage return over the same line.
#include "progressbar.h"

#include "datafile/systemfile.h"

#include <algorithm>

namespace zento::cli {

std::string ProgressLine(std::int64_t done, std::int64_t total) {
    constexpr int kWidth = 25;
    total = std::max<std::int64_t>(total, 1);
    done = std::clamp<std::int64_t>(done, 0, total);
    const auto filled = static_cast<int>(done * kWidth / total);
    const auto percent = static_cast<int>(done * 100 / total);
    char line[128];
    std::snprintf(line, sizeof line, "JAGS [%s%s] %3d %% (%lld de %lld iteraciones)",
                  std::string(static_cast<std::size_t>(filled), '#').c_str(),
                  std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), percent,
                  static_cast<long long>(done), static_cast<long long>(total));
    return line;
}

ProgressBar::ProgressBar(std::FILE* err, std::int64_t total)
    : m_err(err), m_total(total), m_terminal(err && IsTerminal(err)) {}

ProgressBar::~ProgressBar() {
    Erase();
}

void ProgressBar::Show(std::int64_t done) {
    if (!m_terminal)
        return;
    std::string line = ProgressLine(done, m_total);
    if (line == m_shown)
        return;
    // Spaces cover the tail of a longer line drawn before.
    const std::size_t width = std::max(line.size(), m_shown.size());
    std::fprintf(m_err, "\r%-*s", static_cast<int>(width), line.c_str());
    std::fflush(m_err);
    m_shown = std::move(line);
}

void ProgressBar::Erase() {
    if (!m_terminal || m_shown.empty())
        return;
    std::fprintf(m_err, "\r%*s\r", static_cast<int>(m_shown.size()), "");
    std::fflush(m_err);
    m_shown.clear();
}

} // namespace zento::cli
