// Micro-benchmarks of the hot loops: whitespace bits and token counts (both twins), the token
// reader, the scan, the rectangular text and the model texts. Data: 100,000 cases of the
// benchmark table (about 7.8 MB), in memory and in a temporary file.
#include "benchdata.h"
#include "datafile/bytescan.h"
#include "datafile/datafilereader.h"
#include "datafile/scandatafile.h"
#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace zento {
namespace {

constexpr std::int64_t kCases = 100000;

const std::string& Table() {
    static const std::string table = bench::GenerateCases(kCases);
    return table;
}

// The table as a file, removed at exit.
class TableFile {
public:
    TableFile() {
        m_path = (std::filesystem::temp_directory_path() /
                  ("zento-microbench-" + std::to_string(std::random_device()()) + ".txt"))
                     .string();
        std::ofstream(m_path, std::ios::binary) << Table();
    }
    ~TableFile() {
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

const std::string& TablePath() {
    static const TableFile file;
    return file.path();
}

DataSelection WholeTable() {
    DataSelection selection;
    selection.path = TablePath();
    selection.K = 10;
    selection.N = static_cast<std::int32_t>(kCases);
    selection.chosenVariables = 10;
    selection.chosenCases = static_cast<std::int32_t>(kCases);
    return selection;
}

template <class Count> void CountStarts(benchmark::State& state, Count count) {
    const std::string& table = Table();
    for (auto _ : state) {
        bool afterWhitespace = true;
        benchmark::DoNotOptimize(count(table.data(), table.data() + table.size(), afterWhitespace));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(table.size()));
}

void BM_CountTokenStartsScalar(benchmark::State& state) {
    CountStarts(state, &bytescan::CountTokenStartsScalar);
}
BENCHMARK(BM_CountTokenStartsScalar);

#if ZENTO_HAVE_SSE2
void BM_CountTokenStartsSse2(benchmark::State& state) {
    CountStarts(state, &bytescan::CountTokenStartsSse2);
}
BENCHMARK(BM_CountTokenStartsSse2);
#endif

template <class Masks> void WhiteMasks(benchmark::State& state, Masks masks) {
    const std::string& table = Table();
    const std::size_t size = table.size() / 64 * 64;
    std::vector<std::uint64_t> bits(size / 64);
    for (auto _ : state) {
        masks(table.data(), size, bits.data());
        benchmark::DoNotOptimize(bits.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

void BM_WhitespaceMasksScalar(benchmark::State& state) {
    WhiteMasks(state, &bytescan::WhitespaceMasksScalar);
}
BENCHMARK(BM_WhitespaceMasksScalar);

#if ZENTO_HAVE_SSE2
void BM_WhitespaceMasksSse2(benchmark::State& state) {
    WhiteMasks(state, &bytescan::WhitespaceMasksSse2);
}
BENCHMARK(BM_WhitespaceMasksSse2);
#endif

void BM_ReadTokenOneByOne(benchmark::State& state) {
    const std::string& table = Table();
    for (auto _ : state) {
        DataFileReader reader(std::make_unique<MemoryByteSource>(table), "mem");
        std::string_view token;
        std::size_t bytes = 0;
        while (reader.ReadToken(token))
            bytes += token.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(table.size()));
}
BENCHMARK(BM_ReadTokenOneByOne);

void BM_ReadTokensInBatches(benchmark::State& state) {
    const std::string& table = Table();
    std::array<std::string_view, 256> batch;
    for (auto _ : state) {
        DataFileReader reader(std::make_unique<MemoryByteSource>(table), "mem");
        std::size_t bytes = 0;
        while (const std::size_t n = reader.ReadTokens(batch)) {
            for (std::size_t i = 0; i < n; ++i)
                bytes += batch[i].size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(table.size()));
}
BENCHMARK(BM_ReadTokensInBatches);

void BM_ScanDataFile(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ScanDataFile(TablePath()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Table().size()));
}
BENCHMARK(BM_ScanDataFile);

void BM_WriteRectangularData(benchmark::State& state) {
    const DataSelection selection = WholeTable();
    std::size_t written = 0;
    const TextSink sink = [&written](std::string_view block) {
        written += block.size();
        return true;
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteRectangularData(selection, sink));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Table().size()));
}
BENCHMARK(BM_WriteRectangularData);

// Every case to the end of the file, counted while written, as zento-cli datos does.
void BM_WriteRectangularDataUntilEnd(benchmark::State& state) {
    DataSelection selection = WholeTable();
    std::size_t written = 0;
    const TextSink sink = [&written](std::string_view block) {
        written += block.size();
        return true;
    };
    for (auto _ : state) {
        DataFileReader reader(std::make_unique<MemoryByteSource>(Table()), "mem");
        benchmark::DoNotOptimize(
            WriteRectangularData(reader, selection, CaseCount::UntilEnd, sink));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Table().size()));
}
BENCHMARK(BM_WriteRectangularDataUntilEnd);

void BM_BuildRectangularData(benchmark::State& state) {
    const DataSelection selection = WholeTable();
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildRectangularData(selection));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Table().size()));
}
BENCHMARK(BM_BuildRectangularData);

void BM_ReadModelNames(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadModelNames(TablePath(), 10));
}
BENCHMARK(BM_ReadModelNames);

// Every link, with a thousand covariates so that the covariate terms dominate.
void BM_BuildModels(benchmark::State& state) {
    ModelNames names;
    names.response = "y";
    for (int i = 1; i < 1000; ++i)
        names.covariates.push_back("x" + std::to_string(i));
    DataSelection selection = WholeTable();
    selection.chosenVariables = 1000;
    for (auto _ : state) {
        for (const LinkInfo& info : Links())
            benchmark::DoNotOptimize(info.build(names, selection));
    }
}
BENCHMARK(BM_BuildModels);

} // namespace
} // namespace zento

BENCHMARK_MAIN();
