// The data JAGS reads, in the subset of R's dump format that zento-cli jags writes:
// "name <- value" and "name <- c(v1, v2, ...)" (a vector may run over several lines), each value
// a decimal number or NA.
#pragma once

#include "fiterror.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zento::fit {

struct DumpVariable {
    std::string name;
    std::vector<double> values; // NA as a quiet NaN (no number read is ever NaN)
    bool vector = false;        // written as c(...)
    std::int64_t line = 0;      // where its assignment starts
};

struct RDump {
    std::string file;
    std::vector<DumpVariable> variables; // in the file's order
    const DumpVariable* find(std::string_view name) const;
};

// Strict: anything outside the subset, a value that is not a finite number or NA, a name assigned
// twice or a vector the file ends inside is an error naming the line.
FitResult<RDump> ParseRDump(std::string_view text, const std::string& file);
FitResult<RDump> ReadRDump(const std::filesystem::path& path);

} // namespace zento::fit
