// zento-benchtool: writes the benchmark data files and times the in-memory rectangular text.
//   zento-benchtool generar ARCHIVO CASOS   a CASOS × 10 table like the reference file (LF ends)
//   zento-benchtool texto ARCHIVO [VECES]   BuildRectangularData for the whole file, best of VECES
#include "benchdata.h"
#include "datafile/scandatafile.h"
#include "winbugs/rectangulardata.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

int Generate(const std::string& path, std::int64_t cases) {
    const std::string text = zento::bench::GenerateCases(cases);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         &std::fclose);
    if (!file || std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() ||
        std::fflush(file.get()) != 0) {
        std::fprintf(stderr, "zento-benchtool: no se puede escribir %s\n", path.c_str());
        return 1;
    }
    return 0;
}

long PeakKiB() {
#ifndef _WIN32
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return 0;
#endif
}

// Prints "<best ms> <text bytes> <peak KiB>" on one line for the driver script.
int TimeText(const std::string& path, int runs) {
    auto counts = zento::ScanDataFile(path);
    if (!counts) {
        std::fprintf(stderr, "zento-benchtool: %s\n",
                     zento::DescribeDataError(counts.error()).c_str());
        return 1;
    }
    zento::DataSelection selection;
    selection.path = path;
    selection.K = counts->K;
    selection.N = counts->N;
    selection.chosenVariables = counts->K;
    selection.chosenCases = counts->N;
    double best = 1e300;
    std::size_t size = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        auto text = zento::BuildRectangularData(selection);
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (!text) {
            std::fprintf(stderr, "zento-benchtool: %s\n",
                         zento::DescribeDataError(text.error()).c_str());
            return 1;
        }
        size = text->size();
        best = std::min(best, took.count());
    }
    std::printf("%.3f %zu %ld\n", best, size, PeakKiB());
    return 0;
}

int Usage() {
    std::fputs("Uso: zento-benchtool generar ARCHIVO CASOS\n"
               "     zento-benchtool texto ARCHIVO [VECES]\n",
               stderr);
    return 2;
}

std::int64_t Number(std::string_view text) {
    std::int64_t n = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    return ec == std::errc() && end == text.data() + text.size() ? n : -1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "generar" && argc == 4 && Number(argv[3]) >= 0)
        return Generate(argv[2], Number(argv[3]));
    if (command == "texto" && (argc == 3 || (argc == 4 && Number(argv[3]) > 0)))
        return TimeText(argv[2], argc == 4 ? static_cast<int>(Number(argv[3])) : 5);
    return Usage();
}
