// The links' probabilities of a response of 1 and of 0.
//
// The latent-variable links are expectations over V half-normal of a symmetric distribution
// function F (Phi or the logistic) at a + bV. With Phi there is a closed form through Owen's T:
//     E_V[Phi(a + bV)] = Phi(h) + 2 T(h, b),  h = a / sqrt(1 + b^2),
// which is exact while both terms are added; the side that is small when the other is near 1
// would lose digits as 1 - (the other), so below 1e-6 it is integrated directly. The logistic
// has no closed form: a Gauss-Legendre rule fixed for each draw takes all its cases at once,
// unless delta is so near +-1 that the rule would need too many nodes. A small side is always
// integrated again by adaptive Gauss-Kronrod with a relative tolerance, over a range that holds
// all but a negligible part of the integrand.
#include "linkprobability.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <span>

namespace zento {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double InverseLogit(double m) {
    return m >= 0 ? 1 / (1 + std::exp(-m)) : std::exp(m) / (1 + std::exp(m));
}

// log(1 + e^x) without overflow
double Softplus(double x) {
    return x > 0 ? x + std::log1p(std::exp(-x)) : std::log1p(std::exp(x));
}

double StandardNormal(double x) {
    return 0.5 * std::erfc(-x / std::numbers::sqrt2);
}

// Gauss-Legendre nodes and weights on [-1, 1], by Newton's method on P_n.
template <int n> struct GaussLegendre {
    std::array<double, n> x{};
    std::array<double, n> w{};
    GaussLegendre() {
        for (int i = 0; i < n; ++i) {
            double z = std::cos(std::numbers::pi * (i + 0.75) / (n + 0.5));
            double derivative = 0;
            for (int iteration = 0; iteration < 100; ++iteration) {
                double p0 = 1, p1 = z;
                for (int k = 2; k <= n; ++k) {
                    const double p2 = ((2 * k - 1) * z * p1 - (k - 1) * p0) / k;
                    p0 = p1;
                    p1 = p2;
                }
                derivative = n * (z * p1 - p0) / (z * z - 1);
                const double step = p1 / derivative;
                z -= step;
                if (std::abs(step) < 1e-16)
                    break;
            }
            x[i] = z;
            w[i] = 2 / ((1 - z * z) * derivative * derivative);
        }
    }
};

template <int n> const GaussLegendre<n>& GaussLegendreRule() {
    static const GaussLegendre<n> rule;
    return rule;
}

// Owen's T(h, a) = 1/(2 pi) * integral over [0, a] of exp(-h^2 (1 + x^2) / 2) / (1 + x^2), for
// 0 <= a <= 1 and h a <= 7 or so: Gauss-Legendre on [0, a], with e^(-h^2/2) taken out so
// that a small T keeps its relative precision. The integrand's poles at x = +-i and its decay
// over [0, a] (by e^(-h^2 a^2 / 2)) set how many nodes give full precision.
template <int n> double OwenTIntegral(double q, double a) {
    const auto& rule = GaussLegendreRule<n>();
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        const double x = 0.5 * a * (1 + rule.x[i]);
        sum += rule.w[i] * std::exp(-q * x * x) / (1 + x * x);
    }
    return 0.5 * a * sum;
}

// Owen's T(h, a) for one 0 <= a <= 1 and many h, for h a <= 7 or so. Owen's series:
//     T(h, a) = (atan a - sum_k (-1)^k a^(2k+1) / (2k+1) C_k) / (2 pi),
// where C_k = 1 - e^-q sum_(i<=k) q^i / i! = P(Poisson(q) > k), q = h^2 / 2. The terms alternate
// and shrink, so the first one left out bounds the error; they shrink fast for a <= 1/2 (with
// a^2k) or q <= 5 (with C_k). Beyond that the quadrature takes over. atan a and the series'
// coefficients depend on a alone and are worked out once.
class OwenTSmallA {
public:
    explicit OwenTSmallA(double a) : m_a(a), m_atan(std::atan(a)), m_power(a) {}

    double operator()(double h) {
        const double q = 0.5 * h * h;
        if (m_a <= 0.5 || q <= 5)
            return Series(q);
        const double integral =
            q * m_a * m_a <= 2 ? OwenTIntegral<12>(q, m_a) : OwenTIntegral<20>(q, m_a);
        return std::exp(-q) * integral / (2 * std::numbers::pi);
    }

private:
    static constexpr int kTerms = 200;

    double Series(double q) {
        // e^-q q^k / k! and C_k start from one exponential: whichever of e^-q and 1 - e^-q is
        // near 1 is taken as 1 minus the other.
        double poissonTerm, upperTail;
        if (q < std::numbers::ln2) {
            const double below = std::expm1(-q);
            poissonTerm = 1 + below;
            upperTail = -below;
        } else {
            poissonTerm = std::exp(-q);
            upperTail = 1 - poissonTerm;
        }
        double sum = 0;
        for (int k = 0; k < kTerms; ++k) {
            const double term = Coefficient(k) * upperTail;
            sum += k % 2 == 0 ? term : -term;
            if (term < 1e-17 * m_a)
                break;
            poissonTerm *= q / (k + 1);
            upperTail -= poissonTerm;
        }
        return (m_atan - sum) / (2 * std::numbers::pi);
    }

    // a^(2k+1) / (2k+1), as far as a case has needed them.
    double Coefficient(int k) {
        for (; m_count <= k; ++m_count) {
            m_coefficients[static_cast<std::size_t>(m_count)] = m_power / (2 * m_count + 1);
            m_power *= m_a * m_a;
        }
        return m_coefficients[static_cast<std::size_t>(k)];
    }

    double m_a;
    double m_atan;
    double m_power; // a^(2 m_count + 1)
    int m_count = 0;
    std::array<double, kTerms> m_coefficients;
};

// The 15-point Kronrod rule and its embedded 7-point Gauss rule, on [-1, 1]: nodes from the
// outside in (the last is 0), Gauss weights for the odd positions.
constexpr std::array<double, 8> kKronrodNodes = {
    0.991455371120812639206854697526329, 0.949107912342758524526189684047851,
    0.864864423359769072789712788640926, 0.741531185599394439863864773280788,
    0.586087235467691130294144845693013, 0.405845151377397166906606412076961,
    0.207784955007898467600689403773245, 0.000000000000000000000000000000000};
constexpr std::array<double, 8> kKronrodWeights = {
    0.022935322010529224963732008058970, 0.063092092629978553290700663189204,
    0.104790010322250183839876322541518, 0.140653259715525918745189590510238,
    0.169004726639267902826583426598550, 0.190350578064785409913256402421014,
    0.204432940075298892414161999234649, 0.209482141084727828012999174891714};
constexpr std::array<double, 4> kGaussWeights = {
    0.129484966168869693270611432679082, 0.279705391489276667901467771423780,
    0.381830050505118944950369775488975, 0.417959183673469387755102040816327};

struct Panel {
    double lo = 0;
    double hi = 0;
    double value = 0;
    double error = 0;
};

template <class G> Panel Kronrod(const G& g, double lo, double hi) {
    const double center = 0.5 * (lo + hi);
    const double half = 0.5 * (hi - lo);
    const double middle = g(center);
    double kronrod = kKronrodWeights[7] * middle;
    double gauss = kGaussWeights[3] * middle;
    for (int i = 0; i < 7; ++i) {
        const double dx = half * kKronrodNodes[i];
        const double pair = g(center - dx) + g(center + dx);
        kronrod += kKronrodWeights[i] * pair;
        if (i % 2 == 1)
            gauss += kGaussWeights[i / 2] * pair;
    }
    return {lo, hi, kronrod * half, std::abs(kronrod - gauss) * half};
}

// Adaptive Gauss-Kronrod over the panels between consecutive breaks: the panel with the largest
// error estimate is halved until the estimates add up to a relative 1e-9 of the integral. The
// estimate is the 7-point rule's error; the 15-point value kept is far closer than that.
template <class G> double Integrate(const G& g, std::span<const double> breaks) {
    constexpr int kMaxPanels = 200;
    constexpr double kTolerance = 1e-9;
    std::array<Panel, kMaxPanels> panels;
    int count = 0;
    for (std::size_t i = 0; i + 1 < breaks.size(); ++i)
        if (breaks[i + 1] > breaks[i])
            panels[count++] = Kronrod(g, breaks[i], breaks[i + 1]);
    for (;;) {
        double value = 0, error = 0;
        int worst = 0;
        for (int i = 0; i < count; ++i) {
            value += panels[i].value;
            error += panels[i].error;
            if (panels[i].error > panels[worst].error)
                worst = i;
        }
        if (error <= kTolerance * value || count == kMaxPanels || count == 0 ||
            !(value > std::numeric_limits<double>::min()))
            return value;
        const Panel split = panels[worst];
        const double middle = 0.5 * (split.lo + split.hi);
        if (!(middle > split.lo && middle < split.hi))
            return value;
        panels[worst] = Kronrod(g, split.lo, middle);
        panels[count++] = Kronrod(g, middle, split.hi);
    }
}

// The two distribution functions, with what the search for the integrand's bulk needs:
// log F and r = F'/F, the slope of log F.
struct Logistic {
    static double Cdf(double x) { return InverseLogit(x); }
    static double LogCdf(double x) { return -Softplus(-x); }
    static double Slope(double x) { return InverseLogit(-x); }
    static double Curvature(double x) { return InverseLogit(x) * InverseLogit(-x); }
};

struct Normal {
    static double Cdf(double x) { return StandardNormal(x); }
    static double LogCdf(double x) {
        if (x > -30)
            return std::log(StandardNormal(x));
        return -0.5 * x * x - std::log(-x) - 0.5 * std::log(2 * std::numbers::pi) +
               std::log(MillsCorrection(-x));
    }
    static double Slope(double x) {
        if (x > -30)
            return std::exp(-0.5 * x * x) / std::sqrt(2 * std::numbers::pi) / StandardNormal(x);
        return -x / MillsCorrection(-x);
    }
    static double Curvature(double x) {
        const double r = Slope(x);
        return r * (r + x);
    }
    // t Phi(-t) / phi(t) for large t, from the asymptotic series
    static double MillsCorrection(double t) {
        const double u = 1 / (t * t);
        return 1 - u * (1 - 3 * u * (1 - 5 * u * (1 - 7 * u)));
    }
};

// The half-normal density: 2 phi(v) for v >= 0.
double HalfNormal(double v) {
    return std::numbers::sqrt2 / std::sqrt(std::numbers::pi) * std::exp(-0.5 * v * v);
}

// E_V[F(a + bV)] with a relative precision, however small it is.
template <class F> double HalfNormalExpectation(double a, double b) {
    const auto g = [a, b](double v) { return HalfNormal(v) * F::Cdf(a + b * v); };
    // Beyond v = 8.5 the half-normal leaves less than 2e-17 times the largest F there. That is
    // negligible against the integral when F falls with v (b <= 0: the part over [0, 1] is at
    // least 0.68 of F there) or when F(a) >= 1e-7 (the part over [0, 1] is at least 0.68 F(a)).
    constexpr double kFar = 8.5;
    std::array<double, 12> breaks{};
    std::size_t count = 0;
    if (b <= 0 || F::Cdf(a) >= 1e-7) {
        // Where F's argument crosses 0 (or from 0, when it crosses before) F changes fastest,
        // over 1/|b|: panels graded there.
        std::array<double, 10> points = {0, 1.5, 3.5, kFar};
        std::size_t candidates = 4;
        if (std::abs(b) > 2) {
            const double crossing = std::clamp(-a / b, 0.0, kFar);
            for (double offset : {-24.0, -8.0, -2.0, 0.0, 2.0, 8.0})
                points[candidates++] = crossing + offset / std::abs(b);
        }
        std::sort(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(candidates));
        for (std::size_t i = 0; i < candidates; ++i)
            if (points[i] >= 0 && points[i] <= kFar &&
                (count == 0 || points[i] > breaks[count - 1]))
                breaks[count++] = points[i];
        return Integrate(g, std::span<const double>(breaks.data(), count));
    }
    // A small integral: its bulk lies around the mode of the log-concave integrand, where
    // -v + b r(a + bv) = 0, and it ends where the logarithm has fallen by 45 from there.
    const auto logG = [a, b](double v) { return -0.5 * v * v + F::LogCdf(a + b * v); };
    double mode = 0;
    if (b > 0) {
        double lo = 0, hi = b * F::Slope(a);
        for (int i = 0; i < 100 && hi - lo > 1e-6 * (1 + hi); ++i) {
            const double mid = 0.5 * (lo + hi);
            (b * F::Slope(a + b * mid) > mid ? lo : hi) = mid;
        }
        mode = 0.5 * (lo + hi);
    }
    const double peak = logG(mode);
    if (!std::isfinite(peak)) // the probability is below what a double holds
        return 0;
    double right = 1;
    while (logG(mode + right) > peak - 45)
        right *= 2;
    double left = 0;
    if (mode > 0) {
        left = 1;
        while (left < mode && logG(mode - left) > peak - 45)
            left *= 2;
        left = std::min(left, mode);
    }
    // Its width at the mode grades the panels there, where it may rise steeply.
    const double width = 1 / std::sqrt(1 + b * b * F::Curvature(a + b * mode));
    count = 0;
    breaks[count++] = mode - left;
    for (double offset : {-8.0, -2.0, 0.0, 2.0, 8.0}) {
        const double at = mode + offset * width;
        if (at > breaks[count - 1] && at < mode + right)
            breaks[count++] = at;
    }
    breaks[count++] = mode + right;
    // The integrand is scaled by e^-peak so that no value underflows on the way.
    const auto scaled = [&](double v) { return std::exp(logG(v) - peak); };
    const double integral = Integrate(scaled, std::span<const double>(breaks.data(), count));
    return std::numbers::sqrt2 / std::sqrt(std::numbers::pi) * std::exp(peak) * integral;
}

// (E_V[F(a + bV)], E_V[F(-a - bV)]), the smaller one computed directly.
template <class F> CaseProbability SmallSideFirst(double a, double b, bool oneIsSmall) {
    if (oneIsSmall) {
        const double one = HalfNormalExpectation<F>(a, b);
        return {one, 1 - one};
    }
    const double zero = HalfNormalExpectation<F>(-a, -b);
    return {1 - zero, zero};
}

CaseProbability LogisticExpectation(double a, double b) {
    // For |b| small the probability is near F(a + b E[V]); for |b| large, near P(a + bV > 0),
    // which is 1/2 at the median of V, 0.674. Either way the sign picks the smaller side
    // whenever it is far from 1/2.
    return SmallSideFirst<Logistic>(a, b, a + 0.674 * b < 0);
}

// E_V[logit^-1(a + bV)] for all the cases of one draw (one b): Gauss-Legendre panels over
// [0, 8.5], fixed for the draw, so that the half-normal weights and e^(-b v) at the nodes are
// worked out once and each case costs a division per node. logit^-1(a + bv) has poles at
// imaginary distance pi/|b| from every v, so panels up to v = 4 are at most 2.4/|b| long
// (beyond, the half-normal leaves little enough that wider panels do). The nodes hold both
// sides as sums of positive terms; a side below 1e-3 is integrated again with the adaptive
// rule for its relative precision.
class LogisticRule {
public:
    static constexpr double kLargestSlope = 40;

    explicit LogisticRule(double b) {
        const auto& rule = GaussLegendreRule<10>();
        const int inner = std::max(2, static_cast<int>(std::ceil(4 * std::abs(b) / 2.4)));
        std::array<double, 72> breaks{};
        int count = 0;
        for (int i = 0; i <= inner; ++i)
            breaks[count++] = 4.0 * i / inner;
        breaks[count++] = 5.5;
        breaks[count++] = 8.5;
        for (int panel = 0; panel + 1 < count; ++panel) {
            const double center = 0.5 * (breaks[panel] + breaks[panel + 1]);
            const double half = 0.5 * (breaks[panel + 1] - breaks[panel]);
            for (int i = 0; i < 10; ++i) {
                const double v = center + half * rule.x[i];
                m_weight[m_nodes] = half * rule.w[i] * HalfNormal(v);
                m_decay[m_nodes] = std::exp(-b * v);
                ++m_nodes;
            }
        }
        m_b = b;
    }

    CaseProbability operator()(double a) const {
        // e^-(a + bv) = e^-a e^-bv stays finite for |a| <= 300 and |b| 8.5 <= 340.
        if (!(std::abs(a) <= 300))
            return LogisticExpectation(a, m_b);
        const double odds = std::exp(-a);
        // Four running sums of each side, so that the divisions overlap; the nodes past the
        // last, up to a multiple of 4, weigh 0.
        double ones[4] = {0, 0, 0, 0}, zeros[4] = {0, 0, 0, 0};
        for (int j = 0; j < m_nodes; j += 4) {
            for (int k = 0; k < 4; ++k) {
                const double t = odds * m_decay[j + k];
                const double share = m_weight[j + k] / (1 + t);
                ones[k] += share;
                zeros[k] += share * t;
            }
        }
        const double one = (ones[0] + ones[1]) + (ones[2] + ones[3]);
        const double zero = (zeros[0] + zeros[1]) + (zeros[2] + zeros[3]);
        if (std::min(one, zero) >= 1e-3)
            return {one, zero};
        return SmallSideFirst<Logistic>(a, m_b, one < zero);
    }

private:
    static constexpr int kMaxNodes = 10 * 70 + 4;
    std::array<double, kMaxNodes> m_weight{};
    std::array<double, kMaxNodes> m_decay{};
    int m_nodes = 0;
    double m_b = 0;
};

// E_V[Phi(a + bV)] and E_V[Phi(-a - bV)] for one b and many a. With c + dV, d = |b|, both
// terms of the closed form Phi(h) + 2 T(h, d) are positive; d > 1 goes through Owen's identity
//     T(h, d) + T(dh, 1/d) = Phi(-h)/2 + Phi(-dh)/2 - Phi(-h) Phi(-dh),
// whose T(dh, 1/d) again has (dh)(1/d) = h <= 7. Everything that depends on d alone is worked
// out once.
class NormalRule {
public:
    explicit NormalRule(double b)
        : m_b(b), m_d(std::abs(b)), m_root(std::sqrt(1 + m_d * m_d)),
          m_owen(m_d <= 1 ? m_d : 1 / m_d) {}

    CaseProbability operator()(double a) {
        const bool flip = m_b < 0;
        const double c = flip ? -a : a;
        const double h = c / m_root;
        if (std::abs(h) <= 7) {
            const double t = std::abs(h);
            double added, rest;
            if (m_d <= 1) {
                added = StandardNormal(h) + 2 * m_owen(t);
                rest = 1 - added;
            } else {
                const double ph = StandardNormal(-t);
                const double pdh = StandardNormal(-m_d * t);
                const double reflected = m_owen(m_d * t);
                if (h < 0) {
                    // Phi(h) is Phi(-t).
                    added = ph + 2 * (0.5 * ph + 0.5 * pdh - ph * pdh - reflected);
                    rest = 1 - added;
                } else {
                    // With Phi(h) = 1 - Phi(-t) the 1 cancels out of the smaller side.
                    rest = 2 * reflected - pdh * (1 - 2 * ph);
                    added = 1 - rest;
                }
            }
            if (std::min(added, rest) >= 1e-6)
                return flip ? CaseProbability{rest, added} : CaseProbability{added, rest};
            return SmallSideFirst<Normal>(a, m_b, flip ? rest < added : added < rest);
        }
        return SmallSideFirst<Normal>(a, m_b, flip ? h > 0 : h < 0);
    }

private:
    double m_b;
    double m_d;
    double m_root;
    OwenTSmallA m_owen;
};

// The limit as |delta| reaches 1 (JAGS's six significant digits write 0.9999996 as 1): the
// latent variable is c0 + c1 V without the noise, so P(y = 1) = P(c0 + c1 V > 0).
CaseProbability WithoutNoise(double c0, double c1) {
    if (c1 == 0)
        return c0 > 0 ? CaseProbability{1, 0} : CaseProbability{0, 1};
    const double t = -c0 / c1;
    const double above = t <= 0 ? 1 : 2 * StandardNormal(-t); // P(V > t)
    const double below = t <= 0 ? 0 : std::erf(t / std::numbers::sqrt2);
    return c1 > 0 ? CaseProbability{above, below} : CaseProbability{below, above};
}

// A latent-variable link: each case's probability from a + bV, with a = scale (m + shift) and
// b fixed by the draw, through the draw's rule; limit(m) when |delta| = 1.
template <class Limit, class Rule>
void Latent(double delta, std::span<const double> m, std::span<CaseProbability> p, double scale,
            double shift, const Limit& limit, Rule& rule) {
    for (std::size_t i = 0; i < m.size(); ++i) {
        if (!(std::abs(delta) <= 1))
            p[i] = {kNaN, kNaN};
        else if (std::abs(delta) == 1)
            p[i] = limit(m[i]);
        else
            p[i] = rule(scale * (m[i] + shift));
    }
}

double Root(double delta) {
    return std::sqrt((1 - delta) * (1 + delta));
}

// The adaptive rule for every case, when no fixed rule serves the draw.
struct LogisticAdaptive {
    double b;
    CaseProbability operator()(double a) const { return LogisticExpectation(a, b); }
};

} // namespace

void LogitProbability(double, std::span<const double> m, std::span<CaseProbability> p) {
    for (std::size_t i = 0; i < m.size(); ++i) {
        const double e = std::exp(-std::abs(m[i])); // serves both sides
        const double larger = 1 / (1 + e);
        const double smaller = e / (1 + e);
        p[i] = m[i] >= 0 ? CaseProbability{larger, smaller} : CaseProbability{smaller, larger};
    }
}

// The side near 1 is 1 minus the other, within a rounding of its own distribution function.
void ProbitProbability(double, std::span<const double> m, std::span<CaseProbability> p) {
    for (std::size_t i = 0; i < m.size(); ++i) {
        const double smaller = StandardNormal(-std::abs(m[i]));
        p[i] = m[i] >= 0 ? CaseProbability{1 - smaller, smaller}
                         : CaseProbability{smaller, 1 - smaller};
    }
}

// (e^x, 1 - e^x) for x <= 0, from one exponential: the side near 0 computed, the other 1 minus
// it.
CaseProbability ExpAndComplement(double x) {
    if (x > -std::numbers::ln2) {
        const double below = std::expm1(x);
        return {1 + below, -below};
    }
    const double value = std::exp(x);
    return {value, 1 - value};
}

void CloglogProbability(double, std::span<const double> m, std::span<CaseProbability> p) {
    for (std::size_t i = 0; i < m.size(); ++i) {
        const CaseProbability zeroFirst = ExpAndComplement(-std::exp(m[i]));
        p[i] = {zeroFirst.zero, zeroFirst.one};
    }
}

void PowerLogitProbability(double lambda, std::span<const double> m, std::span<CaseProbability> p) {
    for (std::size_t i = 0; i < m.size(); ++i)
        p[i] = ExpAndComplement(-lambda * Softplus(-m[i])); // lambda log(logit^-1(m))
}

void ScobitProbability(double lambda, std::span<const double> m, std::span<CaseProbability> p) {
    for (std::size_t i = 0; i < m.size(); ++i) {
        const CaseProbability zeroFirst =
            ExpAndComplement(-lambda * Softplus(m[i])); // log((1 + e^m)^-lambda)
        p[i] = {zeroFirst.zero, zeroFirst.one};
    }
}

// In the limit |delta| = 1 of Skew logit and CDS, delta sigma V outgrows m and the noise: only
// the sign of delta is left.
void SkewLogitProbability(double delta, std::span<const double> m, std::span<CaseProbability> p) {
    const double b = std::abs(delta) < 1 ? delta / Root(delta) : 0;
    const auto limit = [delta](double) { return WithoutNoise(0, delta); };
    if (std::abs(b) <= LogisticRule::kLargestSlope) {
        const LogisticRule rule(b);
        Latent(delta, m, p, 1, 0, limit, rule);
    } else {
        const LogisticAdaptive rule{b};
        Latent(delta, m, p, 1, 0, limit, rule);
    }
}

void SkewProbitCDSProbability(double delta, std::span<const double> m,
                              std::span<CaseProbability> p) {
    NormalRule rule(std::abs(delta) < 1 ? delta / Root(delta) : 0);
    const auto limit = [delta](double) { return WithoutNoise(0, delta); };
    Latent(delta, m, p, 1, 0, limit, rule);
}

void SkewProbitBBBProbability(double delta, std::span<const double> m,
                              std::span<CaseProbability> p) {
    const double root = std::abs(delta) < 1 ? Root(delta) : 1;
    NormalRule rule(-delta / root);
    const auto limit = [delta](double mi) { return WithoutNoise(mi, -delta); };
    Latent(delta, m, p, 1 / root, 0, limit, rule);
}

void SkewProbitStandardProbability(double delta, std::span<const double> m,
                                   std::span<CaseProbability> p) {
    // The constants 3.1415 and 1.4142 are the model text's own.
    const double spread = 3.1415 - 2 * delta * delta;
    const double sigma = std::sqrt(3.1415 / spread);
    const double mu = -1.4142 * delta / std::sqrt(spread);
    const double root = std::abs(delta) < 1 ? Root(delta) : 1;
    NormalRule rule(-delta / root);
    const auto limit = [=](double mi) { return WithoutNoise(mi - mu, -sigma * delta); };
    Latent(delta, m, p, 1 / (sigma * root), -mu, limit, rule);
}

} // namespace zento
