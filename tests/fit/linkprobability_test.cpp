// The links' probabilities: the closed forms at points whose values R gives, tails included; the
// four latent-variable links against a brute-force quadrature of E_V[F(a + bV)] over a grid of
// (m, delta) that reaches |delta| -> 1 and |m| large, within 1e-8 absolute and, for small
// probabilities, 1e-8 relative.
#include "winbugs/linkprobability.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace zento {
namespace {

TEST(LinkProbabilityTest, ClosedFormsAtKnownPoints) {
    struct Case {
        LinkProbability probability;
        double m, extra;
        bool one; // which side is checked
        double expected;
    };
    const Case cases[] = {
        {LogitProbability, 2, 0, true, 8.8079707797788231e-01},
        {LogitProbability, -700, 0, true, 9.8596765437597708e-305},
        {ProbitProbability, 1.5, 0, true, 9.3319279873114191e-01},
        {ProbitProbability, 37, 0, false, 5.7255712225245771e-300},
        {CloglogProbability, 0, 0, true, 6.3212055882855767e-01},
        {CloglogProbability, -40, 0, true, 4.2483542552915889e-18},
        {CloglogProbability, 3.2, 0, false, 2.2164478034186607e-11},
        {PowerLogitProbability, 1, 2, true, 5.3444664538852305e-01},
        {PowerLogitProbability, -30, 3, true, 8.1940126239881868e-40},
        {PowerLogitProbability, 1.7, 0.4, false, 6.4911789866372027e-02},
        {ScobitProbability, 0.5, 0.5, true, 3.8555661872053226e-01},
        {ScobitProbability, 30, 0.5, false, 3.0590232050181144e-07},
    };
    for (const Case& c : cases) {
        const CaseProbability p = ProbabilityAt(c.probability, c.m, c.extra);
        EXPECT_NEAR(c.expected, c.one ? p.one : p.zero, 1e-12 * c.expected) << c.m;
        EXPECT_NEAR(1, p.one + p.zero, 1e-15) << c.m;
    }
}

// E_V[F(a + bV)] by Gauss-Legendre panels over [0, 40]: 1e-7 wide near 0 and growing, 0.005
// elsewhere, 0.1/|b| near where a + bv crosses 0.
template <class F> double BruteForce(double a, double b, F f) {
    static const double x[5] = {0.1488743389816312, 0.4333953941292472, 0.6794095682990244,
                                0.8650633666889845, 0.9739065285171717};
    static const double w[5] = {0.2955242247147529, 0.2692667193099963, 0.2190863625159820,
                                0.1494513491505806, 0.0666713443086881};
    const double crossing = b != 0 ? -a / b : -1;
    const double fine = std::min(0.005, 0.1 / std::abs(b));
    long double sum = 0;
    for (double lo = 0, width = 1e-7; lo < 40; lo += width) {
        width = std::min(lo < 0.01 ? width * 1.5 : 0.005, 0.005);
        if (std::abs(lo - crossing) < 40 * fine)
            width = std::min(width, fine);
        const double center = lo + width / 2;
        for (int i = 0; i < 10; ++i) {
            const double v = center + (i < 5 ? -x[i] : x[i - 5]) * width / 2;
            const double density = std::exp(-v * v / 2) * std::sqrt(2 / std::numbers::pi);
            sum += static_cast<long double>(w[i % 5] * width / 2 * density * f(a + b * v));
        }
    }
    return static_cast<double>(sum);
}

TEST(LinkProbabilityTest, LatentLinksAgreeWithBruteForceQuadrature) {
    const auto logistic = [](double t) { return 1 / (1 + std::exp(-t)); };
    const auto normal = [](double t) { return 0.5 * std::erfc(-t / std::sqrt(2.0)); };
    for (double m : {-30.0, -8.0, -2.5, -0.4, 0.0, 1.3, 4.0, 12.0, 35.0}) {
        for (double delta : {-0.9999995, -0.9995, -0.97, -0.6, 0.0, 0.3, 0.9, 0.999, 0.99999}) {
            const double root = std::sqrt((1 - delta) * (1 + delta));
            const double spread = 3.1415 - 2 * delta * delta;
            const double sigma = std::sqrt(3.1415 / spread);
            const double mu = -1.4142 * delta / std::sqrt(spread);
            struct Link {
                LinkProbability probability;
                double a, b;
                bool logistic;
            };
            const Link links[] = {
                {SkewLogitProbability, m, delta / root, true},
                {SkewProbitCDSProbability, m, delta / root, false},
                {SkewProbitBBBProbability, m / root, -delta / root, false},
                {SkewProbitStandardProbability, (m - mu) / (sigma * root), -delta / root, false},
            };
            for (const Link& link : links) {
                const CaseProbability p = ProbabilityAt(link.probability, m, delta);
                const double one = link.logistic ? BruteForce(link.a, link.b, logistic)
                                                 : BruteForce(link.a, link.b, normal);
                const double zero = link.logistic ? BruteForce(-link.a, -link.b, logistic)
                                                  : BruteForce(-link.a, -link.b, normal);
                for (const auto& [value, reference] : {std::pair{p.one, one}, {p.zero, zero}}) {
                    EXPECT_NEAR(reference, value, 1e-8) << m << " " << delta;
                    if (reference > 1e-290) {
                        EXPECT_NEAR(1, value / reference, 1e-8) << m << " " << delta;
                    }
                }
            }
        }
    }
}

TEST(LinkProbabilityTest, DeltaAtTheBoundsGivesTheLimitAndOutsideGivesNothing) {
    // |delta| = 1 is what JAGS's six digits make of 0.9999996: no noise is left in the latent
    // variable, so P(y = 1) is P(m - V > 0) for BBB and the sign of delta for CDS.
    const CaseProbability bbb = ProbabilityAt(SkewProbitBBBProbability, 0.5, 1);
    EXPECT_NEAR(std::erf(0.5 / std::sqrt(2.0)), bbb.one, 1e-15);
    EXPECT_EQ(1, ProbabilityAt(SkewProbitCDSProbability, -3, 1).one);
    EXPECT_EQ(1, ProbabilityAt(SkewLogitProbability, 3, -1).zero);
    EXPECT_TRUE(std::isnan(ProbabilityAt(SkewProbitStandardProbability, 0, 1.5).one));
}

} // namespace
} // namespace zento
