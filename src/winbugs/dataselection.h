// What a selection dialog hands to the generators.
#pragma once

#include <cstdint>
#include <string>

namespace zento {

// Counts are taken as typed: zero and negative values are legal and reach the builders.
struct DataSelection {
    std::string path; // full path of the data file, 8-bit bytes; empty when none was picked
    std::int32_t K = 0;
    std::int32_t N = 0;
    std::int32_t chosenVariables = 0;
    std::int32_t chosenCases = 0;
};

} // namespace zento
