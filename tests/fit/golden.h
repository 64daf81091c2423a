// The files tests/data/fit/golden.R writes: "name value" lines, and matrices of draws with a
// "chains C iterations S ..." first line.
#pragma once

#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace zento::fit::testing {

inline std::string GoldenPath(const std::string& name) {
    return std::string(ZENTO_TEST_DATA_DIR) + "/fit/" + name;
}

// "NA" is nullopt; R's "Inf" is infinity.
inline std::map<std::string, std::optional<double>> ReadGoldenValues(const std::string& name) {
    std::map<std::string, std::optional<double>> values;
    std::ifstream in(GoldenPath(name));
    for (std::string key, value; in >> key >> value;) {
        if (value == "NA")
            values[key] = std::nullopt;
        else
            values[key] =
                value == "Inf" ? std::numeric_limits<double>::infinity() : std::stod(value);
    }
    return values;
}

struct GoldenMatrix {
    std::int64_t chains = 0;
    std::int64_t iterations = 0;
    std::vector<std::string> names;           // columns, when the file names them
    std::vector<std::vector<double>> columns; // each chain after chain
};

inline GoldenMatrix ReadGoldenMatrix(const std::string& name, bool named) {
    GoldenMatrix matrix;
    std::ifstream in(GoldenPath(name));
    std::string line, word;
    std::getline(in, line);
    std::istringstream first(line);
    first >> word >> matrix.chains >> word >> matrix.iterations;
    std::size_t width = 0;
    if (named) {
        std::getline(in, line);
        std::istringstream names(line);
        while (names >> word)
            matrix.names.push_back(word);
        width = matrix.names.size();
    } else {
        first >> word >> width;
    }
    matrix.columns.resize(width);
    std::size_t k = 0;
    for (double value; in >> value; ++k)
        matrix.columns[k % width].push_back(value);
    return matrix;
}

// Within a relative 1e-6, or both not available, or both infinite.
inline bool Agrees(std::optional<double> expected, std::optional<double> actual) {
    if (!expected || !actual)
        return !expected && !actual;
    if (std::isinf(*expected))
        return *expected == *actual;
    return std::abs(*actual - *expected) <= 1e-6 * std::abs(*expected);
}

} // namespace zento::fit::testing
