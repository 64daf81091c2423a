// The log-likelihood matrix, one draw at a time through the link's probability.
#include "loglik.h"

#include "winbugs/linkprobability.h"

#include <cmath>
#include <string>

namespace zento::fit {

namespace {

FitError MissingParameter(std::string name) {
    FitError error = MakeFitError(FitErrorKind::MissingParameter, {});
    error.subject = std::move(name);
    return error;
}

} // namespace

FitResult<LogLikelihood> BuildLogLikelihood(Link link, const Draws& draws, const FitData& data) {
    const std::size_t k = data.covariates.size() + 1;
    std::vector<std::size_t> beta;
    for (std::size_t j = 1; j <= k; ++j) {
        const std::string name = "beta[" + std::to_string(j) + "]";
        const std::int64_t index = draws.find(name);
        if (index < 0)
            return MissingParameter(name);
        beta.push_back(static_cast<std::size_t>(index));
    }
    std::size_t betas = 0;
    for (const std::string& name : draws.names)
        betas += name.starts_with("beta[");
    if (betas != k)
        return MakeFitError(FitErrorKind::ParameterCount, {}, 0, std::to_string(k),
                            std::to_string(betas));
    const auto& extraInfo = GetLinkInfo(link).extra;
    std::int64_t extra = -1;
    if (extraInfo && (extra = draws.find(extraInfo->name)) < 0)
        return MissingParameter(std::string(extraInfo->name));
    if (draws.chains < 1 || draws.iterations < 1)
        return MakeFitError(FitErrorKind::NoDraws, {});

    LogLikelihood result;
    result.chains = draws.chains;
    result.iterations = draws.iterations;
    std::vector<double> design; // observed cases' covariates, case by case
    std::vector<bool> ones;
    for (std::size_t i = 0; i < data.response.size(); ++i) {
        if (std::isnan(data.response[i]))
            continue;
        result.cases.push_back(static_cast<std::int64_t>(i));
        ones.push_back(data.response[i] == 1);
        for (const auto& covariate : data.covariates)
            design.push_back(covariate[i]);
    }
    const std::size_t cases = result.cases.size();
    if (cases == 0)
        return MakeFitError(FitErrorKind::NoCases, {});
    const auto total = static_cast<std::size_t>(draws.chains * draws.iterations);
    result.values.resize(cases * total);

    const LinkProbability probability = GetLinkInfo(link).probability;
    std::vector<double> predictor(cases);
    std::vector<CaseProbability> p(cases);
    std::vector<double> coefficient(k);
    for (std::size_t d = 0; d < total; ++d) {
        for (std::size_t j = 0; j < k; ++j)
            coefficient[j] = draws.parameter(beta[j]).all()[d];
        for (std::size_t i = 0; i < cases; ++i) {
            double m = coefficient[0];
            for (std::size_t j = 1; j < k; ++j)
                m += coefficient[j] * design[i * (k - 1) + j - 1];
            predictor[i] = m;
        }
        probability(extra < 0 ? 0 : draws.parameter(static_cast<std::size_t>(extra)).all()[d],
                    predictor, p);
        for (std::size_t i = 0; i < cases; ++i) {
            const double value = std::log(ones[i] ? p[i].one : p[i].zero);
            if (!std::isfinite(value)) {
                const auto chain = static_cast<std::int64_t>(d) / draws.iterations;
                const auto s = static_cast<std::int64_t>(d) % draws.iterations;
                FitError error = MakeFitError(
                    FitErrorKind::NotFiniteLikelihood, {}, 0, std::to_string(result.cases[i] + 1),
                    std::to_string(draws.firstIteration + s * draws.thin));
                error.subject = std::to_string(chain + 1);
                return error;
            }
            result.values[i * total + d] = value;
        }
    }
    return result;
}

} // namespace zento::fit
