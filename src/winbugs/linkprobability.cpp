// The links' probabilities of a response of 1.
#include "linkprobability.h"

#include <cmath>
#include <limits>

namespace zento {

namespace {

double InverseLogit(double m) {
    return m >= 0 ? 1 / (1 + std::exp(-m)) : std::exp(m) / (1 + std::exp(m));
}

double StandardNormal(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

constexpr double kNotYet = std::numeric_limits<double>::quiet_NaN();

} // namespace

double LogitProbability(double m, double) {
    return InverseLogit(m);
}
double ProbitProbability(double m, double) {
    return StandardNormal(m);
}
double CloglogProbability(double m, double) {
    return -std::expm1(-std::exp(m));
}
double PowerLogitProbability(double m, double lambda) {
    return std::pow(InverseLogit(m), lambda);
}
double ScobitProbability(double m, double lambda) {
    return 1 - std::pow(1 + std::exp(m), -lambda);
}
// The four latent-variable links take E_V over V ~ half-normal; written with the fit code.
double SkewLogitProbability(double, double) {
    return kNotYet;
}
double SkewProbitCDSProbability(double, double) {
    return kNotYet;
}
double SkewProbitBBBProbability(double, double) {
    return kNotYet;
}
double SkewProbitStandardProbability(double, double) {
    return kNotYet;
}

} // namespace zento
