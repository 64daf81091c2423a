// Autocovariances lag by lag while Geyer's sequence needs them, all at once by FFT when a
// slowly mixing chain needs many.
#include "ess.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <vector>

namespace zento::fit {

namespace {

// In place, size a power of 2, with the twiddle factors e^(-2 pi i k / n) for k < n / 2. Each
// twiddle is taken once per stage for all the blocks it serves, and multiplied out by hand
// (std::complex's product checks for infinities on every call).
void Fft(std::vector<std::complex<double>>& a, const std::vector<std::complex<double>>& twiddle,
         bool inverse) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    auto* data = reinterpret_cast<double*>(a.data()); // re, im pairs, as std::complex lays them
    const double sign = inverse ? -1 : 1;
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const std::size_t half = length / 2;
        const std::size_t stride = n / length;
        for (std::size_t j = 0; j < half; ++j) {
            const double wr = twiddle[j * stride].real();
            const double wi = sign * twiddle[j * stride].imag();
            for (std::size_t i = j; i < n; i += length) {
                double* u = data + 2 * i;
                double* v = data + 2 * (i + half);
                const double tr = v[0] * wr - v[1] * wi;
                const double ti = v[0] * wi + v[1] * wr;
                v[0] = u[0] - tr;
                v[1] = u[1] - ti;
                u[0] += tr;
                u[1] += ti;
            }
        }
    }
}

// std::norm goes through std::abs, a hypot, to stay finite where this never overflows.
double SquaredModulus(std::complex<double> z) {
    return z.real() * z.real() + z.imag() * z.imag();
}

// sum_i y[i] y[i + lag] for lag and lag + 1 in one pass, each in four running sums so that the
// products overlap (the same four, in the same order, as each lag alone would take). The sums are
// named one by one: as arrays they would be kept in memory.
std::array<double, 2> LaggedProducts(const std::vector<double>& y, std::size_t lag) {
    const std::size_t n = y.size() - lag;
    const std::size_t next = n == 0 ? 0 : n - 1; // terms of lag + 1
    const double* x = y.data();
    const double* u = x + lag;
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0, t0 = 0, t1 = 0, t2 = 0, t3 = 0;
    std::size_t i = 0;
    for (; i + 4 <= next; i += 4) {
        s0 += x[i] * u[i];
        s1 += x[i + 1] * u[i + 1];
        s2 += x[i + 2] * u[i + 2];
        s3 += x[i + 3] * u[i + 3];
        t0 += x[i] * u[i + 1];
        t1 += x[i + 1] * u[i + 2];
        t2 += x[i + 2] * u[i + 3];
        t3 += x[i + 3] * u[i + 4];
    }
    std::size_t j = i;
    for (; j + 4 <= n; j += 4) {
        s0 += x[j] * u[j];
        s1 += x[j + 1] * u[j + 1];
        s2 += x[j + 2] * u[j + 2];
        s3 += x[j + 3] * u[j + 3];
    }
    for (; j < n; ++j)
        s0 += x[j] * u[j];
    for (; i < next; ++i)
        t0 += x[i] * u[i + 1];
    return {(s0 + s1) + (s2 + s3), (t0 + t1) + (t2 + t3)};
}

std::size_t LooPaddedSize(std::size_t n) {
    if (n <= 2)
        return 2;
    for (;; ++n) {
        std::size_t m = n;
        for (std::size_t factor : {2, 3, 5})
            while (m % factor == 0)
                m /= factor;
        if (m <= 1)
            return n;
    }
}

// The chains' mean autocovariance at each lag, worked out as far as it is asked for.
class MeanAutocovariance {
public:
    MeanAutocovariance(std::span<const std::span<const double>> chains, double factor)
        : m_n(chains.front().size()), m_factor(factor) {
        for (const auto chain : chains) {
            double mean = 0;
            for (double x : chain)
                mean += x;
            mean /= static_cast<double>(m_n);
            std::vector<double> centered(m_n);
            const bool constant = std::all_of(chain.begin(), chain.end(),
                                              [&](double x) { return x == chain.front(); });
            for (std::size_t i = 0; i < m_n; ++i)
                centered[i] = constant ? 0 : chain[i] - mean;
            m_centered.push_back(std::move(centered));
        }
    }

    double operator()(std::size_t lag) {
        while (m_means.size() <= lag) {
            // A chain this sticky will need more lags than are worth summing one by one.
            const bool sticky = m_means.size() == 2 && m_means[1] > 0.9 * m_means[0];
            if (m_means.size() == kDirectLags || sticky) {
                AllByTransform();
                break;
            }
            // Geyer's sequence asks for lags in pairs.
            const std::size_t t = m_means.size();
            double sum = 0, next = 0;
            for (const auto& y : m_centered) {
                const auto [products, nextProducts] = LaggedProducts(y, t);
                sum += products;
                next += nextProducts;
            }
            m_means.push_back(Scaled(sum));
            if (t + 1 < m_n)
                m_means.push_back(Scaled(next));
        }
        return m_means[lag];
    }

private:
    // About where the lags summed one by one start to cost more than the transform.
    static constexpr std::size_t kDirectLags = 32;

    double Scaled(double sumOverChains) const {
        return sumOverChains / static_cast<double>(m_n) * m_factor /
               static_cast<double>(m_centered.size());
    }

    // Two real chains go through one complex transform, as its real and imaginary parts: the
    // transform of a + ib holds both spectra. Only the chains' summed autocorrelation is needed,
    // so their power spectra are added and transformed back once.
    void AllByTransform() {
        std::size_t size = 1;
        while (size < 2 * m_n)
            size <<= 1;
        // Each twiddle from the one before, taken afresh every 32 so that rounding cannot
        // build up.
        std::vector<std::complex<double>> twiddle(size / 2);
        const double angle = -2 * std::numbers::pi / static_cast<double>(size);
        const std::complex<double> step = std::polar(1.0, angle);
        for (std::size_t k = 0; k < size / 2; ++k)
            twiddle[k] = k % 32 == 0 ? std::polar(1.0, angle * static_cast<double>(k))
                                     : twiddle[k - 1] * step;
        std::vector<std::complex<double>> a(size), power(size);
        for (std::size_t c = 0; c < m_centered.size(); c += 2) {
            std::fill(a.begin(), a.end(), 0.0);
            for (std::size_t i = 0; i < m_n; ++i)
                a[i] = {m_centered[c][i], c + 1 < m_centered.size() ? m_centered[c + 1][i] : 0};
            Fft(a, twiddle, false);
            // With A_k = (Z_k + conj(Z_(n-k))) / 2 and B_k = (Z_k - conj(Z_(n-k))) / 2i,
            // |A_k|^2 + |B_k|^2 = (|Z_k|^2 + |Z_(n-k)|^2) / 2.
            for (std::size_t k = 0; k < size; ++k)
                power[k] += (SquaredModulus(a[k]) + SquaredModulus(a[k == 0 ? 0 : size - k])) / 2;
        }
        Fft(power, twiddle, true);
        std::vector<double> sums(m_n);
        for (std::size_t t = 0; t < m_n; ++t)
            sums[t] = power[t].real() / static_cast<double>(size);
        // The lags already summed directly stay as they are.
        for (std::size_t t = m_means.size(); t < m_n; ++t)
            m_means.push_back(Scaled(sums[t]));
    }

    std::size_t m_n;
    double m_factor;
    std::vector<std::vector<double>> m_centered;
    std::vector<double> m_means;
};

} // namespace

double EffectiveSampleSize(std::span<const std::span<const double>> chains,
                           AutocovarianceScale scale) {
    const std::size_t n = chains.empty() ? 0 : chains.front().size();
    if (n < 3)
        return std::numeric_limits<double>::quiet_NaN();
    const auto nd = static_cast<double>(n);
    const auto c = static_cast<double>(chains.size());
    const double factor =
        scale == AutocovarianceScale::LooPadded ? static_cast<double>(LooPaddedSize(n)) / nd : 1;
    MeanAutocovariance acov(chains, factor);

    const double meanVar = acov(0) * nd / (nd - 1);
    double varPlus = meanVar * (nd - 1) / nd;
    if (chains.size() > 1) {
        std::vector<double> means;
        for (const auto chain : chains) {
            double sum = 0;
            for (double x : chain)
                sum += x;
            means.push_back(sum / nd);
        }
        double grand = 0;
        for (double m : means)
            grand += m;
        grand /= c;
        double squares = 0;
        for (double m : means)
            squares += (m - grand) * (m - grand);
        varPlus += squares / (c - 1);
    }
    std::vector<double> rho(n, 0.0);
    std::size_t t = 0;
    double even = 1;
    double odd = 1 - (meanVar - acov(1)) / varPlus;
    rho[0] = even;
    rho[1] = odd;
    while (t + 5 < n && !std::isnan(even + odd) && even + odd > 0) {
        t += 2;
        even = 1 - (meanVar - acov(t)) / varPlus;
        odd = 1 - (meanVar - acov(t + 1)) / varPlus;
        if (even + odd >= 0) {
            rho[t] = even;
            rho[t + 1] = odd;
        }
    }
    const std::size_t maxT = t;
    if (even > 0)
        rho[maxT] = even;
    // Geyer's monotone sequence: no pair sum above the one before.
    for (t = 2; t + 2 <= maxT; t += 2) {
        if (rho[t] + rho[t + 1] > rho[t - 2] + rho[t - 1]) {
            rho[t] = (rho[t - 2] + rho[t - 1]) / 2;
            rho[t + 1] = rho[t];
        }
    }
    // R's sum(rho[1:max_t]) takes rho[1] alone when max_t is 0.
    double sum = maxT == 0 ? rho[0] : 0;
    for (std::size_t i = 0; i < maxT; ++i)
        sum += rho[i];
    const double ess = c * nd;
    const double tau = std::max(-1 + 2 * sum + rho[maxT], 1 / std::log10(ess));
    return ess / tau;
}

} // namespace zento::fit
