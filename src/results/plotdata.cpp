// Trace thinning and the kernel density.
#include "results/plotdata.h"

#include "fit/summary.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zento {

std::vector<PlotPoint> DecimateTrace(std::span<const double> values, double firstX, double stepX,
                                     int columns) {
    std::vector<PlotPoint> points;
    const std::size_t n = values.size();
    const auto at = [&](std::size_t i) { return PlotPoint{firstX + double(i) * stepX, values[i]}; };
    if (columns < 1 || n <= 2 * std::size_t(columns)) {
        for (std::size_t i = 0; i < n; ++i)
            points.push_back(at(i));
        return points;
    }
    points.reserve(2 * std::size_t(columns));
    for (int c = 0; c < columns; ++c) {
        const std::size_t begin = n * std::size_t(c) / std::size_t(columns);
        const std::size_t end = n * std::size_t(c + 1) / std::size_t(columns);
        const auto [low, high] = std::minmax_element(values.begin() + std::ptrdiff_t(begin),
                                                     values.begin() + std::ptrdiff_t(end));
        const std::size_t first = std::size_t(std::min(low, high) - values.begin());
        const std::size_t second = std::size_t(std::max(low, high) - values.begin());
        points.push_back(at(first));
        if (second != first)
            points.push_back(at(second));
    }
    return points;
}

std::vector<PlotPoint> KernelDensity(std::span<const double> values, std::size_t points) {
    const std::size_t n = values.size();
    const auto sd = fit::StandardDeviation(values);
    const auto q1 = fit::Quantile(values, 0.25);
    const auto q3 = fit::Quantile(values, 0.75);
    if (n < 2 || points < 2 || !sd || !q1 || !q3)
        return {};
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    // bw.nrd0's fallbacks when the spread is nil, so that equal draws still show where they are.
    double spread = std::min(*sd, (*q3 - *q1) / 1.34);
    if (!(spread > 0))
        spread = *sd > 0 ? *sd : (*q3 - *q1) / 1.34;
    if (!(spread > 0))
        spread = std::abs(*low) > 0 ? std::abs(*low) : 1.0;
    const double bandwidth = 0.9 * spread * std::pow(double(n), -0.2);
    const double from = *low - 3 * bandwidth;
    const double step = (*high + 3 * bandwidth - from) / double(points - 1);
    const double scale = 1.0 / (double(n) * bandwidth * std::sqrt(2 * std::numbers::pi));
    std::vector<PlotPoint> density(points);
    for (std::size_t i = 0; i < points; ++i) {
        const double x = from + double(i) * step;
        double sum = 0;
        for (const double v : values) {
            const double z = (x - v) / bandwidth;
            sum += std::exp(-0.5 * z * z);
        }
        density[i] = {x, sum * scale};
    }
    return density;
}

} // namespace zento
