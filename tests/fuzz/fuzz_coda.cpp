// The CODA reader on any index and chain files: it refuses, or every value it returns is what a
// plain parse of the same line finds, in the place the index gives it.
#include "fit/coda.h"
#include "fuzzsupport.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace zento;
using namespace zento::fuzz;

namespace {

// The lines of a text, "\r\n" or "\n" ended; a last line without its end is kept.
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string line(text.substr(0, end));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

// Fields split at spaces and tabs.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    for (char c : line + " ") {
        if (c == ' ' || c == '\t') {
            if (!field.empty())
                fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    return fields;
}

} // namespace

// The first byte picks how many chain files there are (1 to 3); NUL bytes part the index from
// the chains and the chains from each other.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputDecoder input(data, size);
    const int files = 1 + input.Byte() % 3;
    std::vector<std::string_view> parts;
    std::string_view rest = input.rest();
    for (int i = 0; i <= files; ++i) {
        const std::size_t end = std::min(rest.find('\0'), rest.size());
        parts.push_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    static const TempDir dir;
    std::ofstream(dir.File("CODAindex.txt"), std::ios::binary)
        .write(parts[0].data(), std::ssize(parts[0]));
    for (int c = 1; c <= 3; ++c) {
        const std::string name = dir.File("CODAchain" + std::to_string(c) + ".txt");
        std::filesystem::remove(name);
        if (c <= files)
            std::ofstream(name, std::ios::binary)
                .write(parts[static_cast<std::size_t>(c)].data(),
                       std::ssize(parts[static_cast<std::size_t>(c)]));
    }

    const auto draws = fit::ReadCoda(dir.path());
    if (!draws) {
        FUZZ_CHECK(!fit::DescribeFitError(draws.error()).empty());
        return 0;
    }
    const std::vector<std::string> index = Lines(parts[0]);
    FUZZ_CHECK(draws->chains == files);
    FUZZ_CHECK(draws->names.size() == index.size());
    const auto s = draws->iterations;
    for (std::size_t p = 0; p < index.size(); ++p) {
        const auto fields = Fields(index[p]);
        FUZZ_CHECK(fields.size() == 3 && fields[0] == draws->names[p]);
        FUZZ_CHECK(std::atoll(fields[1].c_str()) == static_cast<long long>(p) * s + 1);
        FUZZ_CHECK(std::atoll(fields[2].c_str()) == static_cast<long long>(p + 1) * s);
    }
    for (int c = 0; c < files; ++c) {
        const std::vector<std::string> lines = Lines(parts[static_cast<std::size_t>(c) + 1]);
        FUZZ_CHECK(static_cast<std::int64_t>(lines.size()) ==
                   s * static_cast<std::int64_t>(index.size()));
        for (std::size_t line = 0; line < lines.size(); ++line) {
            const auto fields = Fields(lines[line]);
            FUZZ_CHECK(fields.size() == 2);
            const auto p = static_cast<std::int64_t>(line) / s;
            const auto i = static_cast<std::int64_t>(line) % s;
            FUZZ_CHECK(std::atoll(fields[0].c_str()) == draws->firstIteration + i * draws->thin);
            const double value = std::strtod(fields[1].c_str(), nullptr);
            FUZZ_CHECK(std::isfinite(value));
            FUZZ_CHECK(value == draws->values[static_cast<std::size_t>((p * files + c) * s + i)]);
        }
    }
    return 0;
}
