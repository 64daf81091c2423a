// What the plots draw, worked out without Qt: a trace thinned to what a pixel column can show,
// and a kernel density estimate of the pooled draws.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace zento {

struct PlotPoint {
    double x = 0;
    double y = 0;
};

// The trace of values (x = firstX + i * stepX) for a plot `columns` pixels wide. Up to two points
// per column, in their order: the lowest and the highest value the column covers, so the drawn
// band is the one the whole trace would paint, however many thousand draws it holds. Short
// traces come back whole.
std::vector<PlotPoint> DecimateTrace(std::span<const double> values, double firstX, double stepX,
                                     int columns);

// A Gaussian kernel density of values on `points` equally spaced points reaching three bandwidths
// beyond the extremes, with R's default bandwidth (bw.nrd0: 0.9 min(sd, IQR / 1.34) n^(-1/5)).
// Empty for fewer than two values; a single spike when they are all equal.
std::vector<PlotPoint> KernelDensity(std::span<const double> values, std::size_t points = 256);

} // namespace zento
