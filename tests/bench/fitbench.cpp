// The fitting pipeline after JAGS, per link and for all nine: read the CODA output, summarise
// every node, build the log-likelihood, smooth it (PSIS), LOO and WAIC. Data: examples/
// birthwt.txt (189 cases, 5 covariates); draws: 3 chains of 2000, made up around the logit fit
// (AR(1) chains, an ESS of about a quarter of the draws) and, for the skew links, delta spread
// as JAGS's posteriors on birthwt spread it.
#include "fit/coda.h"
#include "fit/loo.h"
#include "fit/summary.h"
#include "winbugs/linkprobability.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace zento::fit {
namespace {

constexpr std::int64_t kChains = 3;
constexpr std::int64_t kIterations = 2000;

FitData Birthwt() {
    std::ifstream in(std::string(ZENTO_EXAMPLES_DIR) + "/birthwt.txt");
    std::vector<std::string> names(6);
    for (auto& name : names)
        in >> name;
    FitData data;
    data.responseName = names[0];
    data.covariateNames.assign(names.begin() + 1, names.end());
    data.covariates.resize(5);
    for (double y; in >> y;) {
        data.response.push_back(y);
        for (auto& covariate : data.covariates) {
            double x = 0;
            in >> x;
            covariate.push_back(x);
        }
    }
    return data;
}

// AR(1) chains around center with the given spread.
void Chains(std::vector<double>& values, std::mt19937_64& random, double center, double spread,
            double (*transform)(double)) {
    std::normal_distribution<double> normal;
    for (std::int64_t c = 0; c < kChains; ++c) {
        double state = normal(random);
        for (std::int64_t s = 0; s < kIterations; ++s) {
            state = 0.6 * state + 0.8 * normal(random);
            values.push_back(transform(center + spread * state));
        }
    }
}

// One made-up CODA output per link, written once into a scratch directory.
class Outputs {
public:
    Outputs() : m_root(std::filesystem::temp_directory_path() / "zento-fitbench") {
        std::mt19937_64 random(20240611);
        const double center[] = {1.3998, -0.0341, -0.0154, 0.6475, 1.8933, 0.8846};
        const double spread[] = {1.1, 0.034, 0.0066, 0.34, 0.69, 0.45};
        const auto same = [](double x) { return x; };
        for (const LinkInfo& link : Links()) {
            Draws draws;
            draws.chains = kChains;
            draws.iterations = kIterations;
            for (int j = 0; j < 6; ++j) {
                draws.names.push_back("beta[" + std::to_string(j + 1) + "]");
                Chains(draws.values, random, center[j] * 0.6, spread[j] * 0.6, same);
            }
            const std::string_view extra = link.extra ? link.extra->name : std::string_view();
            if (extra == "lambda")
                Chains(draws.values, random, 0, 0.5, [](double x) { return std::exp(x); });
            // delta as the birthwt posteriors spread it: over (-1, 1) for Skew logit, near 1
            // for CDS, within (-0.9, 0.9) for BBB and Standard.
            if (link.link == Link::SkewLogit)
                Chains(draws.values, random, 0.3, 1.0,
                       [](double x) { return 0.995 * std::tanh(x); });
            else if (link.link == Link::SkewProbitCDS)
                Chains(draws.values, random, 2.5, 0.5,
                       [](double x) { return 0.999 * std::tanh(x); });
            else if (extra == "delta")
                Chains(draws.values, random, 0.3, 0.8, [](double x) { return 0.9 * std::tanh(x); });
            if (!extra.empty())
                draws.names.emplace_back(extra);
            WriteCoda(draws, m_root / std::string(link.key));
        }
    }
    ~Outputs() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    std::filesystem::path directory(const LinkInfo& link) const { return m_root / link.key; }

private:
    std::filesystem::path m_root;
};

const Outputs& MadeUpOutputs() {
    static const Outputs outputs;
    return outputs;
}

double Pipeline(const LinkInfo& link, const FitData& data) {
    const Draws draws = *ReadCoda(MadeUpOutputs().directory(link));
    double sink = 0;
    for (std::size_t p = 0; p < draws.names.size(); ++p)
        sink += Summarise(draws.parameter(p)).rhat.value_or(0);
    const auto built = BuildLogLikelihood(link.link, draws, data);
    if (!built)
        throw std::runtime_error(DescribeFitError(built.error()));
    const LogLikelihood& ll = *built;
    return sink + LeaveOneOut(ll).elpd.value + WidelyApplicable(ll).waic.value;
}

void BM_FitPipeline(benchmark::State& state) {
    const FitData data = Birthwt();
    const LinkInfo& link = Links()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(link.key));
    for (auto _ : state)
        benchmark::DoNotOptimize(Pipeline(link, data));
}
BENCHMARK(BM_FitPipeline)->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

void BM_FitPipelineAllLinks(benchmark::State& state) {
    const FitData data = Birthwt();
    for (auto _ : state)
        for (const LinkInfo& link : Links())
            benchmark::DoNotOptimize(Pipeline(link, data));
}
BENCHMARK(BM_FitPipelineAllLinks)->Unit(benchmark::kMillisecond);

// Each step on its own over the nine links, its input made beforehand, to show where the time
// goes.
struct Inputs {
    std::vector<Draws> draws;
    std::vector<LogLikelihood> logLikelihood;
};

const Inputs& MadeUpInputs() {
    static const Inputs inputs = [] {
        const FitData data = Birthwt();
        Inputs made;
        for (const LinkInfo& link : Links()) {
            made.draws.push_back(*ReadCoda(MadeUpOutputs().directory(link)));
            made.logLikelihood.push_back(*BuildLogLikelihood(link.link, made.draws.back(), data));
        }
        return made;
    }();
    return inputs;
}

void BM_StepReadCoda(benchmark::State& state) {
    for (auto _ : state)
        for (const LinkInfo& link : Links())
            benchmark::DoNotOptimize(ReadCoda(MadeUpOutputs().directory(link))->values.data());
}
BENCHMARK(BM_StepReadCoda)->Unit(benchmark::kMillisecond);

void BM_StepSummaries(benchmark::State& state) {
    const Inputs& inputs = MadeUpInputs();
    for (auto _ : state)
        for (const Draws& draws : inputs.draws)
            for (std::size_t p = 0; p < draws.names.size(); ++p)
                benchmark::DoNotOptimize(Summarise(draws.parameter(p)).rhat);
}
BENCHMARK(BM_StepSummaries)->Unit(benchmark::kMillisecond);

void BM_StepLogLikelihood(benchmark::State& state) {
    const FitData data = Birthwt();
    const Inputs& inputs = MadeUpInputs();
    for (auto _ : state)
        for (std::size_t l = 0; l < Links().size(); ++l)
            benchmark::DoNotOptimize(
                BuildLogLikelihood(Links()[l].link, inputs.draws[l], data)->values.data());
}
BENCHMARK(BM_StepLogLikelihood)->Unit(benchmark::kMillisecond);

void BM_StepLeaveOneOut(benchmark::State& state) {
    const Inputs& inputs = MadeUpInputs();
    for (auto _ : state)
        for (const LogLikelihood& ll : inputs.logLikelihood)
            benchmark::DoNotOptimize(LeaveOneOut(ll).elpd.value);
}
BENCHMARK(BM_StepLeaveOneOut)->Unit(benchmark::kMillisecond);

void BM_StepWaic(benchmark::State& state) {
    const Inputs& inputs = MadeUpInputs();
    for (auto _ : state)
        for (const LogLikelihood& ll : inputs.logLikelihood)
            benchmark::DoNotOptimize(WidelyApplicable(ll).waic.value);
}
BENCHMARK(BM_StepWaic)->Unit(benchmark::kMillisecond);

// The smoothing with its weights kept, and LOO from them, as a caller that wants both does it.
void BM_StepPsisWeights(benchmark::State& state) {
    const Inputs& inputs = MadeUpInputs();
    for (auto _ : state)
        for (const LogLikelihood& ll : inputs.logLikelihood)
            benchmark::DoNotOptimize(LooFromWeights(ll, ParetoSmoothLoo(ll)).elpd.value);
}
BENCHMARK(BM_StepPsisWeights)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zento::fit

BENCHMARK_MAIN();
