// The windows of results in the multiple-document area: one fitted link (its summary table, the
// LOO and WAIC line, a trace and a density per parameter, the run's settings) and a comparison of
// links (the ranking and its dots and whiskers). They are not text documents: closing one asks
// nothing. Each saves its table as CSV, its plots as PNG or the whole as a PDF report, and
// prints that report.
#pragma once

#include "framework/messagemap.h"
#include "framework/textprinting.h"
#include "results/fitresults.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QPagedPaintDevice;
class QPainter;
class QTableView;

namespace zento {

class ComparisonModel;
class DensityPlot;
class DotWhiskerPlot;
class SummaryModel;
class TracePlot;

// Where to save; empty when cancelled. proposed is a path without extension; the answer ends in
// ".csv", ".png" or ".pdf", which says what is written.
using ResultsSavePicker = std::function<QString(QWidget* parent, const QString& proposed)>;
ResultsSavePicker interactiveResultsSavePicker();

// What both windows share: the commands, saving by extension and printing the report.
class ReportWindow : public QWidget, public CommandTarget {
    Q_OBJECT
public:
    ~ReportWindow() override;

    void setPrinting(TextPrinting* printing) { m_printing = printing; }
    void setSavePicker(ResultsSavePicker picker) { m_pickSave = std::move(picker); }

    // The table as the command-line tool writes it.
    virtual std::string csv() const = 0;
    // Every plot in one picture.
    virtual QImage plotsImage() const = 0;
    // The report, page after page: title, settings, table, plots.
    virtual void paintReport(QPagedPaintDevice& device) const = 0;

    // Writes path by its extension (.csv, .png, .pdf; otherwise CSV) through a temporary file, so
    // a failure leaves an existing file as it was. Returns the reason it failed, in Spanish.
    std::optional<QString> saveTo(const QString& path) const;

    void OnGuardarResultados();
    bool printReport(PrintJob job);

signals:
    void saved(const QString& path);

protected:
    explicit ReportWindow(QWidget* parent);
    virtual QString proposedName() const = 0;

private:
    TextPrinting* m_printing = nullptr;
    std::unique_ptr<TextPrinting> m_ownPrinting;
    ResultsSavePicker m_pickSave = interactiveResultsSavePicker();
};

// The LOO line and the warnings, as zento-cli resumir prints them under its table.
QString looLine(const FitResults& results);
// "3 cadenas × 1000 iteraciones guardadas (de la 1001 a la 2000), calentamiento 1000,
// semilla 0; carpeta ...".
QString settingsLine(const FitResults& results);

class ResultsWindow : public ReportWindow {
    Q_OBJECT
public:
    explicit ResultsWindow(std::shared_ptr<const FitResults> results, QWidget* parent = nullptr);

    // "Resultados - Logit - carpeta".
    static QString windowTitleFor(const FitResults& results);

    const FitResults& results() const { return *m_results; }
    SummaryModel* model() const { return m_model; }
    QTableView* table() const { return m_table; }
    const QList<TracePlot*>& tracePlots() const { return m_traces; }
    const QList<DensityPlot*>& densityPlots() const { return m_densities; }
    QLabel* looLabel() const { return m_loo; }

    std::string csv() const override;
    QImage plotsImage() const override;
    void paintReport(QPagedPaintDevice& device) const override;

protected:
    QString proposedName() const override;

private:
    // Each parameter's trace and density plot, drawn at scale times their size on screen.
    void
    renderPlots(int scale,
                const std::function<void(const QImage& trace, const QImage& density)>& use) const;

    std::shared_ptr<const FitResults> m_results;
    SummaryModel* m_model;
    QTableView* m_table;
    QLabel* m_loo;
    QList<TracePlot*> m_traces;
    QList<DensityPlot*> m_densities;
};

class ComparisonWindow : public ReportWindow {
    Q_OBJECT
public:
    explicit ComparisonWindow(std::shared_ptr<const ComparisonResults> results,
                              QWidget* parent = nullptr);

    ComparisonModel* model() const { return m_model; }
    QTableView* table() const { return m_table; }
    DotWhiskerPlot* plot() const { return m_plot; }

    std::string csv() const override;
    QImage plotsImage() const override;
    void paintReport(QPagedPaintDevice& device) const override;

signals:
    // A row was double-clicked: the results of that row's link.
    void openResultsRequested(std::shared_ptr<const FitResults> results);

protected:
    QString proposedName() const override;

private:
    std::shared_ptr<const ComparisonResults> m_results;
    ComparisonModel* m_model;
    QTableView* m_table;
    DotWhiskerPlot* m_plot;
};

} // namespace zento
