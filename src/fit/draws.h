// Posterior draws: for each monitored node, C chains of S iterations each.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zento::fit {

// One quantity's draws, chain after chain, each chain S values in iteration order.
class ChainDraws {
public:
    ChainDraws(std::span<const double> values, std::int64_t chains)
        : m_values(values), m_chains(chains),
          m_iterations(chains > 0 ? static_cast<std::int64_t>(values.size()) / chains : 0) {}

    std::int64_t chains() const { return m_chains; }
    std::int64_t iterations() const { return m_iterations; }
    std::span<const double> all() const { return m_values; }
    std::span<const double> chain(std::int64_t c) const {
        return m_values.subspan(static_cast<std::size_t>(c * m_iterations),
                                static_cast<std::size_t>(m_iterations));
    }

private:
    std::span<const double> m_values;
    std::int64_t m_chains;
    std::int64_t m_iterations;
};

struct Draws {
    std::vector<std::string> names; // as JAGS writes them: "beta[1]", "lambda", "delta"
    std::int64_t chains = 0;
    std::int64_t iterations = 0;     // S per chain
    std::int64_t firstIteration = 1; // JAGS's number of the first kept iteration
    std::int64_t thin = 1;           // step between kept iteration numbers
    // values[(p * chains + c) * iterations + s]: parameter p, chain c, iteration s
    std::vector<double> values;

    ChainDraws parameter(std::size_t p) const {
        const auto size = static_cast<std::size_t>(chains * iterations);
        return ChainDraws(std::span<const double>(values).subspan(p * size, size), chains);
    }
    // The index of name in names, or -1.
    std::int64_t find(std::string_view name) const {
        const auto it = std::find(names.begin(), names.end(), name);
        return it == names.end() ? -1 : it - names.begin();
    }
};

} // namespace zento::fit
