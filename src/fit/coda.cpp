// Reading, writing and merging JAGS's CODA files.
#include "coda.h"

#include "datafile/systemfile.h"
#include "textfiles.h"
#include "textscan.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <limits>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zento::fit {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kIndexName = "CODAindex.txt";
// More lines than any chain file holds, and few enough that no count of them overflows.
constexpr std::int64_t kMostLines = std::int64_t{1} << 48;

std::string ChainName(std::int64_t chain) {
    return "CODAchain" + std::to_string(chain) + ".txt";
}

struct CodaIndex {
    std::vector<std::string> names;
    std::int64_t iterations = 0; // lines per node, the same for every node
    std::int64_t lines() const { return iterations * static_cast<std::int64_t>(names.size()); }
};

FitResult<CodaIndex> ParseIndex(std::string_view text, const std::string& file) {
    CodaIndex index;
    std::set<std::string_view> seen;
    LineCursor lines(text);
    std::string_view line;
    bool complete = false;
    std::int64_t nextFirst = 1;
    while (lines.Next(line, complete)) {
        const std::int64_t number = lines.number();
        if (!complete)
            return MakeFitError(FitErrorKind::Truncated, file, number, {}, std::string(line));
        std::string_view fields[3];
        std::optional<std::int64_t> first, last;
        if (SplitFields(line, fields)) {
            first = ParseInteger(fields[1]);
            last = ParseInteger(fields[2]);
        }
        if (!first || !last || *first < 1 || *last < *first || *last > kMostLines)
            return MakeFitError(FitErrorKind::IndexLine, file, number, {}, std::string(line));
        const std::int64_t length = *last - *first + 1;
        if (*first != nextFirst || (!index.names.empty() && length != index.iterations)) {
            const std::int64_t expectedLength = index.names.empty() ? length : index.iterations;
            return MakeFitError(FitErrorKind::IndexRange, file, number,
                                std::to_string(nextFirst) + " " +
                                    std::to_string(nextFirst + expectedLength - 1),
                                std::string(fields[1]) + " " + std::string(fields[2]));
        }
        if (!seen.insert(fields[0]).second)
            return MakeFitError(FitErrorKind::DuplicateName, file, number, {},
                                std::string(fields[0]));
        index.names.emplace_back(fields[0]);
        index.iterations = length;
        nextFirst = *last + 1;
    }
    if (index.names.empty())
        return MakeFitError(FitErrorKind::Truncated, file, 1);
    return index;
}

// The chain files present: CODAchain1.txt up to the highest number, none missing in between.
FitResult<std::int64_t> CountChains(const fs::path& directory) {
    std::int64_t highest = 0;
    std::set<std::int64_t> present;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = Utf8FromPath(it->path().filename());
        constexpr std::string_view kPrefix = "CODAchain", kSuffix = ".txt";
        if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix))
            continue;
        const std::string_view digits = std::string_view(name).substr(
            kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
        const auto chain = ParseInteger(digits);
        if (!chain || *chain < 1 || digits.front() == '0')
            continue;
        present.insert(*chain);
        highest = std::max(highest, *chain);
    }
    for (std::int64_t chain = 1; chain <= std::max<std::int64_t>(highest, 1); ++chain) {
        if (!present.contains(chain)) {
            FitError error =
                MakeFitError(FitErrorKind::MissingFile, Utf8FromPath(directory / ChainName(chain)));
            error.systemError = ENOENT;
            return error;
        }
    }
    return highest;
}

// Checks that text holds exactly the index's lines, each ended, before anything is allocated
// for them.
FitStatus CheckLineCount(std::string_view text, const std::string& file, std::int64_t lines) {
    const auto ended = static_cast<std::int64_t>(std::count(text.begin(), text.end(), '\n'));
    const std::size_t tail = text.rfind('\n') == std::string_view::npos ? 0 : text.rfind('\n') + 1;
    const std::string_view partial = text.substr(tail);
    if (ended > lines || (ended == lines && !partial.empty())) {
        std::string_view extra = text;
        for (std::int64_t i = 0; i < lines; ++i)
            extra.remove_prefix(extra.find('\n') + 1);
        return MakeFitError(FitErrorKind::ExtraLines, file, lines + 1, std::to_string(lines),
                            std::string(extra.substr(0, extra.find('\n'))));
    }
    if (ended < lines)
        return MakeFitError(FitErrorKind::Truncated, file, ended + 1, std::to_string(lines),
                            std::string(partial));
    return FitDone{};
}

// Iteration numbers must run first, first + thin, ... for every node of every chain; the first
// two lines of the first chain set first and thin.
class IterationCheck {
public:
    bool Accept(std::int64_t iteration, std::int64_t s, bool firstChainFirstNode,
                std::int64_t& expected) {
        if (firstChainFirstNode && s == 0) {
            m_first = iteration;
            return true;
        }
        if (firstChainFirstNode && s == 1) {
            if (iteration <= m_first) {
                expected =
                    m_first == std::numeric_limits<std::int64_t>::max() ? m_first : m_first + 1;
                return false;
            }
            m_thin = iteration - m_first;
            return true;
        }
        // first + s * thin, unless that would not fit, in which case no number matches
        if (s > 0 && m_thin > (std::numeric_limits<std::int64_t>::max() - m_first) / s) {
            expected = std::numeric_limits<std::int64_t>::max();
            return false;
        }
        expected = m_first + s * m_thin;
        return iteration == expected;
    }
    std::int64_t first() const { return m_first; }
    std::int64_t thin() const { return m_thin; }

private:
    std::int64_t m_first = 0;
    std::int64_t m_thin = 1;
};

FitStatus ParseChain(std::string_view text, const std::string& file, const CodaIndex& index,
                     std::int64_t chain, IterationCheck& iterations, Draws& draws) {
    LineCursor lines(text);
    std::string_view line;
    bool complete = false;
    const std::int64_t perNode = index.iterations;
    while (lines.Next(line, complete)) {
        const std::int64_t number = lines.number();
        const std::int64_t node = (number - 1) / perNode;
        const std::int64_t s = (number - 1) % perNode;
        std::string_view fields[2];
        if (!SplitFields(line, fields))
            return MakeFitError(FitErrorKind::ChainLine, file, number, {}, std::string(line));
        const auto iteration = ParseInteger(fields[0]);
        if (!iteration || *iteration < 0)
            return MakeFitError(FitErrorKind::ChainLine, file, number, {}, std::string(line));
        std::int64_t expected = 0;
        if (!iterations.Accept(*iteration, s, chain == 0 && node == 0, expected))
            return MakeFitError(FitErrorKind::IterationGap, file, number, std::to_string(expected),
                                std::string(fields[0]));
        const auto value = ParseFinite(fields[1]);
        if (!value)
            return MakeFitError(FitErrorKind::NotFinite, file, number, {}, std::string(fields[1]));
        draws.values[static_cast<std::size_t>((node * draws.chains + chain) * perNode + s)] =
            *value;
    }
    return FitDone{};
}

std::string FormatValue(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Chain files numbered above chains, left by an earlier output with more chains.
FitStatus RemoveChainsAbove(const fs::path& directory, std::int64_t chains) {
    for (std::int64_t chain = chains + 1;; ++chain) {
        const fs::path stale = directory / ChainName(chain);
        std::error_code ec;
        if (!fs::exists(stale, ec))
            return FitDone{};
        if (!fs::remove(stale, ec) || ec) {
            FitError error = MakeFitError(FitErrorKind::WriteFailed, Utf8FromPath(stale));
            error.systemError = ErrnoOf(ec);
            return error;
        }
    }
}

FitStatus WriteAll(const fs::path& directory, std::string_view index,
                   const std::vector<std::string>& chains) {
    std::error_code ec;
    fs::create_directories(directory, ec);
    if (auto written = ReplaceFile(directory / kIndexName, index); !written)
        return written;
    for (std::size_t c = 0; c < chains.size(); ++c) {
        const auto chain = static_cast<std::int64_t>(c) + 1;
        if (auto written = ReplaceFile(directory / ChainName(chain), chains[c]); !written)
            return written;
    }
    return RemoveChainsAbove(directory, static_cast<std::int64_t>(chains.size()));
}

// Runs merge only when they monitor the same nodes over the same iteration numbers.
FitStatus SameMonitoring(const Draws& first, const Draws& run, const fs::path& runDirectory) {
    const auto describe = [](const Draws& draws, std::size_t p) {
        const auto start = static_cast<std::int64_t>(p) * draws.iterations + 1;
        return (p < draws.names.size() ? draws.names[p] : std::string()) + " " +
               std::to_string(start) + " " + std::to_string(start + draws.iterations - 1);
    };
    const std::size_t nodes = std::max(first.names.size(), run.names.size());
    for (std::size_t p = 0; p < nodes; ++p) {
        if (p >= first.names.size() || p >= run.names.size() || first.names[p] != run.names[p] ||
            first.iterations != run.iterations)
            return MakeFitError(FitErrorKind::IndexMismatch,
                                Utf8FromPath(runDirectory / kIndexName),
                                static_cast<std::int64_t>(p) + 1,
                                p < first.names.size() ? describe(first, p) : std::string(),
                                p < run.names.size() ? describe(run, p) : std::string());
    }
    const std::string chainFile = Utf8FromPath(runDirectory / ChainName(1));
    if (run.firstIteration != first.firstIteration)
        return MakeFitError(FitErrorKind::IterationGap, chainFile, 1,
                            std::to_string(first.firstIteration),
                            std::to_string(run.firstIteration));
    if (run.thin != first.thin)
        return MakeFitError(FitErrorKind::IterationGap, chainFile, 2,
                            std::to_string(first.firstIteration + first.thin),
                            std::to_string(run.firstIteration + run.thin));
    return FitDone{};
}

} // namespace

FitResult<Draws> ReadCoda(const fs::path& directory) {
    const std::string indexFile = Utf8FromPath(directory / kIndexName);
    auto indexText = ReadTextFile(indexFile);
    if (!indexText)
        return indexText.error();
    auto index = ParseIndex(*indexText, indexFile);
    if (!index)
        return index.error();
    auto chains = CountChains(directory);
    if (!chains)
        return chains.error();

    std::vector<std::string> texts;
    for (std::int64_t c = 1; c <= *chains; ++c) {
        const std::string file = Utf8FromPath(directory / ChainName(c));
        auto text = ReadTextFile(file);
        if (!text)
            return text.error();
        if (auto counted = CheckLineCount(*text, file, index->lines()); !counted)
            return counted.error();
        texts.push_back(std::move(*text));
    }

    Draws draws;
    draws.names = index->names;
    draws.chains = *chains;
    draws.iterations = index->iterations;
    draws.values.resize(static_cast<std::size_t>(index->lines() * *chains));
    IterationCheck iterations;
    for (std::int64_t c = 0; c < *chains; ++c) {
        const std::string file = Utf8FromPath(directory / ChainName(c + 1));
        if (auto parsed =
                ParseChain(texts[static_cast<std::size_t>(c)], file, *index, c, iterations, draws);
            !parsed)
            return parsed.error();
    }
    draws.firstIteration = iterations.first();
    draws.thin = iterations.thin();
    return draws;
}

FitStatus WriteCoda(const Draws& draws, const fs::path& directory) {
    std::string index;
    for (std::size_t p = 0; p < draws.names.size(); ++p) {
        const auto first = static_cast<std::int64_t>(p) * draws.iterations + 1;
        index += draws.names[p] + " " + std::to_string(first) + " " +
                 std::to_string(first + draws.iterations - 1) + "\n";
    }
    std::vector<std::string> chains(static_cast<std::size_t>(draws.chains));
    for (std::size_t p = 0; p < draws.names.size(); ++p) {
        const ChainDraws values = draws.parameter(p);
        for (std::int64_t c = 0; c < draws.chains; ++c) {
            std::string& text = chains[static_cast<std::size_t>(c)];
            const std::span<const double> chain = values.chain(c);
            for (std::size_t s = 0; s < chain.size(); ++s) {
                text += std::to_string(draws.firstIteration +
                                       static_cast<std::int64_t>(s) * draws.thin);
                text += "  ";
                text += FormatValue(chain[s]);
                text += '\n';
            }
        }
    }
    return WriteAll(directory, index, chains);
}

FitStatus MergeCodaRuns(std::span<const fs::path> runs, const fs::path& directory) {
    if (runs.empty())
        return MakeFitError(FitErrorKind::NoDraws, Utf8FromPath(directory));
    std::string index;
    std::vector<std::string> chains;
    Draws firstRun;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        auto draws = ReadCoda(runs[r]);
        if (!draws)
            return draws.error();
        if (draws->chains != 1)
            return MakeFitError(FitErrorKind::NotSingleChain, Utf8FromPath(runs[r] / ChainName(2)));
        auto runIndex = ReadTextFile(runs[r] / kIndexName);
        auto chain = ReadTextFile(runs[r] / ChainName(1));
        if (!runIndex)
            return runIndex.error();
        if (!chain)
            return chain.error();
        if (r == 0) {
            index = std::move(*runIndex);
            firstRun = std::move(*draws);
        } else if (auto same = SameMonitoring(firstRun, *draws, runs[r]); !same) {
            return same.error();
        }
        chains.push_back(std::move(*chain));
    }
    return WriteAll(directory, index, chains);
}

} // namespace zento::fit
