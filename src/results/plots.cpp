// The plots.
#include "results/plots.h"

#include "results/plotdata.h"
#include "results/resultsmodels.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <limits>

namespace zento {

namespace {

// Colours that stay apart for the usual 2 to 4 chains, for readers with a colour deficiency too.
constexpr std::array<QRgb, 8> kChainColours = {0x0072b2, 0xe69f00, 0x009e73, 0xcc79a7,
                                               0x56b4e9, 0xd55e00, 0xf0e442, 0x000000};

QChart* plainChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 2, 4, 2));
    chart->setBackgroundRoundness(0);
    QFont font = chart->titleFont();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    chart->setTitleFont(font);
    return chart;
}

QValueAxis* valueAxis(QChart* chart, Qt::Alignment side, const QString& title = {}) {
    auto* axis = new QValueAxis(chart);
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%.4g"));
    QFont font = axis->labelsFont();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    axis->setLabelsFont(font);
    chart->addAxis(axis, side);
    return axis;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

// The view is made with its chart: a view made without one makes a chart of its own, which
// setChart would leave behind.
void setUpView(QChartView* view) {
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(200, 150);
}

} // namespace

QColor chainColour(int chain) {
    return QColor(kChainColours[std::size_t(chain) % kChainColours.size()]);
}

QImage renderPlot(QChartView& plot, QSize size) {
    // A hidden widget gets its pending resize, and the chart its layout, when it is rendered.
    plot.resize(size);
    return plot.grab().toImage();
}

TracePlot::TracePlot(std::shared_ptr<const fit::Draws> draws, std::size_t parameter,
                     const QString& title, QWidget* parent)
    : QChartView(plainChart(title), parent), m_draws(std::move(draws)), m_parameter(parameter) {
    QChart* chart = this->chart();
    QValueAxis* x = valueAxis(chart, Qt::AlignBottom);
    QValueAxis* y = valueAxis(chart, Qt::AlignLeft);
    const fit::ChainDraws values = m_draws->parameter(m_parameter);
    for (std::int64_t c = 0; c < values.chains(); ++c) {
        auto* series = new QLineSeries(chart);
        series->setName(QStringLiteral("cadena %1").arg(c + 1));
        QPen pen(chainColour(int(c)));
        pen.setWidthF(1.0);
        series->setPen(pen);
        attach(chart, series, x, y);
        m_series.append(series);
    }
    const double first = double(m_draws->firstIteration);
    const double last =
        first + double(std::max<std::int64_t>(values.iterations() - 1, 0)) * double(m_draws->thin);
    x->setRange(first, std::max(last, first + 1));
    x->setLabelFormat(QStringLiteral("%d"));
    const auto [low, high] = std::minmax_element(values.all().begin(), values.all().end());
    if (low != values.all().end()) {
        const double pad = (*high - *low) * 0.05 + (*high == *low ? 0.5 : 0.0);
        y->setRange(*low - pad, *high + pad);
    }
    setUpView(this);
    fill(400);
}

void TracePlot::fill(int columns) {
    columns = std::max(columns, 1);
    if (columns == m_columns)
        return;
    m_columns = columns;
    const fit::ChainDraws values = m_draws->parameter(m_parameter);
    for (int c = 0; c < m_series.size(); ++c) {
        QList<QPointF> points;
        for (const PlotPoint& p : DecimateTrace(values.chain(c), double(m_draws->firstIteration),
                                                double(m_draws->thin), columns))
            points.append(QPointF(p.x, p.y));
        m_series[c]->replace(points);
    }
}

void TracePlot::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    fill(int(chart()->plotArea().width() > 0 ? chart()->plotArea().width() : width()));
}

DensityPlot::DensityPlot(const fit::ChainDraws& draws, const QString& title, QWidget* parent)
    : QChartView(plainChart(title), parent) {
    QChart* chart = this->chart();
    QValueAxis* x = valueAxis(chart, Qt::AlignBottom);
    QValueAxis* y = valueAxis(chart, Qt::AlignLeft);
    auto* upper = new QLineSeries(chart);
    double top = 0;
    for (const PlotPoint& p : KernelDensity(draws.all())) {
        upper->append(p.x, p.y);
        top = std::max(top, p.y);
    }
    auto* area = new QAreaSeries(upper);
    area->setParent(chart);
    QColor fill = chainColour(0);
    area->setPen(QPen(fill, 1.5));
    fill.setAlpha(70);
    area->setBrush(fill);
    attach(chart, area, x, y);
    if (upper->count() > 0)
        x->setRange(upper->at(0).x(), upper->at(upper->count() - 1).x());
    y->setRange(0, top > 0 ? top * 1.05 : 1);
    y->setLabelsVisible(false);
    setUpView(this);
}

DotWhiskerPlot::DotWhiskerPlot(std::span<const fit::ComparisonRow> rows, QWidget* parent)
    : QChartView(plainChart(QStringLiteral("elpd_diff ± 2 se_diff")), parent) {
    QChart* chart = this->chart();
    QValueAxis* x = valueAxis(chart, Qt::AlignBottom, QStringLiteral("elpd_diff"));
    auto* y = new QCategoryAxis(chart);
    y->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    chart->addAxis(y, Qt::AlignLeft);
    auto* good = new QScatterSeries(chart);
    auto* flagged = new QScatterSeries(chart);
    const QColor goodColour = chainColour(0);
    const QColor flagColourDark = QColor(200, 40, 30);
    for (auto [series, colour] :
         {std::pair{good, goodColour}, std::pair{flagged, flagColourDark}}) {
        series->setColor(colour);
        series->setBorderColor(colour);
        series->setMarkerSize(9);
    }
    double low = 0;
    double high = 0;
    const auto n = int(rows.size());
    // Worst first: the axis takes a category only above the one before it.
    for (int i = n - 1; i >= 0; --i) {
        const fit::ComparisonRow& e = rows[std::size_t(i)];
        const double at = n - i; // best at the top
        const bool ok = fit::ModelState(e.model->model) == "ok";
        auto* whisker = new QLineSeries(chart);
        whisker->setPen(QPen(ok ? goodColour : flagColourDark, 2));
        whisker->append(e.elpdDiff - 2 * e.seDiff, at);
        whisker->append(e.elpdDiff + 2 * e.seDiff, at);
        attach(chart, whisker, x, y);
        (ok ? good : flagged)->append(e.elpdDiff, at);
        y->append(QString::fromStdString(e.model->link), at);
        low = std::min(low, e.elpdDiff - 2 * e.seDiff);
        high = std::max(high, e.elpdDiff + 2 * e.seDiff);
    }
    auto* zero = new QLineSeries(chart);
    zero->setPen(QPen(Qt::gray, 1, Qt::DashLine));
    zero->append(0, 0.5);
    zero->append(0, n + 0.5);
    attach(chart, zero, x, y);
    attach(chart, good, x, y);
    attach(chart, flagged, x, y);
    const double pad = (high - low) * 0.05 + 0.5;
    x->setRange(low - pad, high + pad);
    y->setRange(0.5, n + 0.5);
    setUpView(this);
}

} // namespace zento
