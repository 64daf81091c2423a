// The plots of the results windows, drawn with Qt Charts from the same results the tables show:
// a trace per chain, a posterior density, and the comparison's dots and whiskers.
#pragma once

#include "fit/draws.h"
#include "results/fitresults.h"

#include <QChartView>

#include <memory>
#include <span>

class QLineSeries;

namespace zento {

// Chain c's colour (0-based), the same in every trace and in the legend.
QColor chainColour(int chain);

// What a plot looks like at the given size; for a plot of its own, not one shown in a window.
QImage renderPlot(QChartView& plot, QSize size);

// Each chain's draws of one parameter against JAGS's iteration numbers. However long the chains,
// each series holds at most two points per pixel column of the current width, so resizing stays
// smooth.
class TracePlot : public QChartView {
    Q_OBJECT
public:
    TracePlot(std::shared_ptr<const fit::Draws> draws, std::size_t parameter, const QString& title,
              QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fill(int columns);

    std::shared_ptr<const fit::Draws> m_draws;
    std::size_t m_parameter;
    QList<QLineSeries*> m_series;
    int m_columns = -1;
};

// The kernel density of one parameter's draws, all chains pooled.
class DensityPlot : public QChartView {
    Q_OBJECT
public:
    DensityPlot(const fit::ChainDraws& draws, const QString& title, QWidget* parent = nullptr);
};

// Each link's elpd_diff with a whisker of two se_diff either side, best at the top; links whose
// state is not "ok" in the flag colour.
class DotWhiskerPlot : public QChartView {
    Q_OBJECT
public:
    explicit DotWhiskerPlot(std::span<const fit::ComparisonRow> rows, QWidget* parent = nullptr);
};

} // namespace zento
