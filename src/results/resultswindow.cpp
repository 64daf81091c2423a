// The results and comparison windows, and the report both print and save.
#include "results/resultswindow.h"

#include "framework/commands.h"
#include "framework/messages.h"
#include "results/plots.h"
#include "results/resultsmodels.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QScrollArea>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace zento {

namespace {

constexpr QSize kTraceSize{560, 170};
constexpr QSize kDensitySize{280, 170};

void setUpTable(QTableView* table) {
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->resizeColumnsToContents();
}

QLabel* selectableLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

// Lays text, tables and pictures down the pages of a printer or a PDF file, in units of a page
// 800 wide whatever the device's resolution.
class ReportPainter {
public:
    explicit ReportPainter(QPagedPaintDevice& device) : m_device(device), m_painter(&device) {
        const double scale = double(device.width()) / kWidth;
        m_painter.scale(scale, scale);
        m_height = double(device.height()) / scale;
        QFont font = m_painter.font();
        font.setPixelSize(10);
        m_painter.setFont(font);
    }

    void title(const QString& text) {
        QFont font = m_painter.font();
        font.setPixelSize(15);
        font.setBold(true);
        line(text, font);
        m_y += 4;
    }

    void line(const QString& text, std::optional<QFont> font = {}) {
        const QFont old = m_painter.font();
        if (font)
            m_painter.setFont(*font);
        const QRectF bounds =
            m_painter.boundingRect(QRectF(0, 0, kWidth, 10000), Qt::TextWordWrap, text);
        room(bounds.height());
        m_painter.drawText(QRectF(0, m_y, kWidth, bounds.height()), Qt::TextWordWrap, text);
        m_y += bounds.height() + 2;
        m_painter.setFont(old);
    }

    // The model's rows under its header, each cell as the view shows it, flagged cells shaded.
    void table(const QAbstractItemModel& model) {
        const int columns = model.columnCount();
        const double rowHeight = 14;
        QList<double> widths;
        const QFontMetricsF metrics(m_painter.font());
        double total = 0;
        for (int c = 0; c < columns; ++c) {
            double width =
                metrics.horizontalAdvance(model.headerData(c, Qt::Horizontal).toString());
            for (int r = 0; r < model.rowCount(); ++r)
                width = std::max(
                    width, metrics.horizontalAdvance(model.data(model.index(r, c)).toString()));
            widths.append(width + 8);
            total += width + 8;
        }
        const double shrink = total > kWidth ? kWidth / total : 1.0;
        for (double& width : widths)
            width *= shrink;
        const auto row = [&](int r) {
            room(rowHeight);
            double x = 0;
            for (int c = 0; c < columns; ++c) {
                const QRectF cell(x, m_y, widths[c], rowHeight);
                QString text;
                Qt::Alignment align = Qt::AlignRight | Qt::AlignVCenter;
                if (r < 0) {
                    text = model.headerData(c, Qt::Horizontal).toString();
                    m_painter.fillRect(cell, QColor(230, 230, 230));
                } else {
                    const QModelIndex index = model.index(r, c);
                    text = model.data(index).toString();
                    if (const QVariant alignment = model.data(index, Qt::TextAlignmentRole);
                        alignment.isValid())
                        align = Qt::Alignment(alignment.toInt());
                    if (const QVariant background = model.data(index, Qt::BackgroundRole);
                        background.canConvert<QColor>())
                        m_painter.fillRect(cell, background.value<QColor>());
                }
                m_painter.drawText(cell.adjusted(3, 0, -3, 0), int(align), text);
                x += widths[c];
            }
            m_y += rowHeight;
        };
        row(-1);
        for (int r = 0; r < model.rowCount(); ++r)
            row(r);
        m_y += 6;
    }

    // Pictures side by side, scaled to share the width in proportion to theirs.
    void pictures(const QList<QImage>& images) {
        double width = 0;
        for (const QImage& image : images)
            width += image.width();
        if (width <= 0)
            return;
        const double scale = kWidth / width;
        double height = 0;
        for (const QImage& image : images)
            height = std::max(height, image.height() * scale);
        room(height);
        double x = 0;
        for (const QImage& image : images) {
            const QRectF target(x, m_y, image.width() * scale, image.height() * scale);
            m_painter.drawImage(target, image);
            x += target.width();
        }
        m_y += height + 4;
    }

private:
    static constexpr double kWidth = 800;

    void room(double height) {
        if (m_y > 0 && m_y + height > m_height) {
            m_device.newPage();
            m_y = 0;
        }
    }

    QPagedPaintDevice& m_device;
    QPainter m_painter;
    double m_height = 0;
    double m_y = 0;
};

} // namespace

ResultsSavePicker interactiveResultsSavePicker() {
    return [](QWidget* parent, const QString& proposed) {
        const QStringList filters = {QStringLiteral("Tabla CSV (*.csv)"),
                                     QStringLiteral("Gráficos PNG (*.png)"),
                                     QStringLiteral("Informe PDF (*.pdf)")};
        QString filter = filters.first();
        QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Guardar resultados"),
                                                    proposed + QStringLiteral(".csv"),
                                                    filters.join(QStringLiteral(";;")), &filter);
        if (path.isEmpty())
            return path;
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix != u"csv" && suffix != u"png" && suffix != u"pdf")
            path += filter.contains(u"png")   ? QStringLiteral(".png")
                    : filter.contains(u"pdf") ? QStringLiteral(".pdf")
                                              : QStringLiteral(".csv");
        return path;
    };
}

ReportWindow::ReportWindow(QWidget* parent) : QWidget(parent) {
    m_messageMap.add(ID_ANALISIS_GUARDAR, this, &ReportWindow::OnGuardarResultados);
    m_messageMap.add(ID_FILE_PRINT, [this] { printReport(PrintJob::Dialog); });
    m_messageMap.add(ID_FILE_PRINT_PREVIEW, [this] { printReport(PrintJob::Preview); });
}

ReportWindow::~ReportWindow() = default;

std::optional<QString> ReportWindow::saveTo(const QString& path) const {
    const QString suffix = QFileInfo(path).suffix().toLower();
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        if (suffix == u"png") {
            written = plotsImage().save(&file, "PNG");
        } else if (suffix == u"pdf") {
            QPdfWriter pdf(&file);
            pdf.setTitle(windowTitle());
            pdf.setCreator(QStringLiteral("ZENTO"));
            pdf.setResolution(300);
            paintReport(pdf);
        } else {
            const std::string text = csv();
            written = file.write(text.data(), qint64(text.size())) == qint64(text.size());
        }
    }
    if (written && file.commit())
        return std::nullopt;
    const QString reason = file.errorString();
    file.cancelWriting();
    return QStringLiteral("No se ha podido guardar %1: %2. Elija otra carpeta o compruebe que hay "
                          "espacio y permiso de escritura.")
        .arg(QDir::toNativeSeparators(path), reason);
}

void ReportWindow::OnGuardarResultados() {
    const QString path = m_pickSave(this, proposedName());
    if (path.isEmpty())
        return;
    if (const std::optional<QString> failure = saveTo(path)) {
        showWarning(this, *failure);
        return;
    }
    emit saved(path);
}

bool ReportWindow::printReport(PrintJob job) {
    if (!m_printing) {
        m_ownPrinting = std::make_unique<TextPrinting>();
        m_printing = m_ownPrinting.get();
    }
    return m_printing->print(this, job, windowTitle(),
                             [this](QPrinter* printer) { paintReport(*printer); });
}

QString looLine(const FitResults& r) {
    return QString::fromStdString(fit::LooLine(r.model) + fit::SummaryWarnings(r.model)).trimmed();
}

QString settingsLine(const FitResults& r) {
    const fit::Draws& d = r.draws;
    QString line = QStringLiteral("%1 × %2 iteraciones guardadas")
                       .arg(d.chains == 1 ? QStringLiteral("1 cadena")
                                          : QStringLiteral("%1 cadenas").arg(d.chains))
                       .arg(d.iterations);
    line += QStringLiteral(" (de la %1 a la %2")
                .arg(d.firstIteration)
                .arg(d.firstIteration + (d.iterations - 1) * d.thin);
    if (d.thin > 1)
        line += QStringLiteral(", de %1 en %1").arg(d.thin);
    line += QLatin1Char(')');
    if (r.settings) {
        line += QStringLiteral(", calentamiento %1, semilla %2")
                    .arg(r.settings->burnIn)
                    .arg(r.settings->seed);
    }
    return line + QStringLiteral("; carpeta %1")
                      .arg(QDir::toNativeSeparators(QString::fromStdString(r.folder)));
}

QString ResultsWindow::windowTitleFor(const FitResults& r) {
    const QString link = r.model.link ? toQString(GetLinkInfo(*r.model.link).label)
                                      : QStringLiteral("modelo sin enlace reconocido");
    return QStringLiteral("Resultados - %1 - %2")
        .arg(link, QFileInfo(QString::fromStdString(r.folder)).fileName());
}

ResultsWindow::ResultsWindow(std::shared_ptr<const FitResults> results, QWidget* parent)
    : ReportWindow(parent), m_results(std::move(results)),
      m_model(new SummaryModel(m_results, this)), m_table(new QTableView(this)),
      m_loo(selectableLabel(looLine(*m_results), this)) {
    setWindowTitle(windowTitleFor(*m_results));
    m_table->setModel(m_model);
    setUpTable(m_table);

    // The plots share the draws with the results; nothing is copied per plot.
    const std::shared_ptr<const fit::Draws> draws(m_results, &m_results->draws);
    auto* plots = new QWidget;
    auto* grid = new QGridLayout(plots);
    auto* legend = new QHBoxLayout;
    legend->addWidget(new QLabel(QStringLiteral("Cadenas:"), plots));
    for (std::int64_t c = 0; c < draws->chains; ++c) {
        auto* swatch = new QLabel(QStringLiteral("■ %1").arg(c + 1), plots);
        swatch->setStyleSheet(QStringLiteral("color: %1").arg(chainColour(int(c)).name()));
        legend->addWidget(swatch);
    }
    legend->addStretch();
    grid->addLayout(legend, 0, 0, 1, 2);
    for (std::size_t p = 0; p < m_results->model.parameters.size(); ++p) {
        const fit::ParameterSummary& row = m_results->model.parameters[p];
        const std::int64_t index = draws->find(row.parameter);
        if (index < 0)
            continue;
        // "beta[2] (dose)", but "beta[1] (ordenada)" whose name comes in brackets already.
        const QString column = QString::fromStdString(row.name);
        const QString name =
            row.name == row.parameter ? column
            : column.startsWith(u'(')
                ? QStringLiteral("%1 %2").arg(QString::fromStdString(row.parameter), column)
                : QStringLiteral("%1 (%2)").arg(QString::fromStdString(row.parameter), column);
        auto* trace = new TracePlot(draws, std::size_t(index), QStringLiteral("Traza de ") + name);
        auto* density = new DensityPlot(draws->parameter(std::size_t(index)),
                                        QStringLiteral("Densidad de ") + name);
        trace->setMinimumHeight(kTraceSize.height());
        density->setMinimumHeight(kDensitySize.height());
        grid->addWidget(trace, int(p) + 1, 0);
        grid->addWidget(density, int(p) + 1, 1);
        m_traces.append(trace);
        m_densities.append(density);
    }
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(plots);
    scroll->setWidgetResizable(true);

    auto* top = new QWidget;
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(selectableLabel(settingsLine(*m_results), top));
    topLayout->addWidget(m_table, 1);
    topLayout->addWidget(m_loo);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(top);
    splitter->addWidget(scroll);
    splitter->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    // Choosing a parameter in the table brings its plots into view.
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, scroll](const QModelIndex& current) {
                if (current.isValid() && current.row() < m_traces.size())
                    scroll->ensureWidgetVisible(m_traces[current.row()]);
            });
}

std::string ResultsWindow::csv() const {
    return fit::SummaryCsv(m_results->model);
}

QString ResultsWindow::proposedName() const {
    const QString folder = QString::fromStdString(m_results->folder);
    const QString link = m_results->model.link ? toQString(GetLinkInfo(*m_results->model.link).key)
                                               : QStringLiteral("resultados");
    return QDir(folder).filePath(QStringLiteral("resultados-") + link);
}

void ResultsWindow::renderPlots(
    int scale, const std::function<void(const QImage&, const QImage&)>& use) const {
    const std::shared_ptr<const fit::Draws> draws(m_results, &m_results->draws);
    for (const fit::ParameterSummary& row : m_results->model.parameters) {
        const std::int64_t index = draws->find(row.parameter);
        if (index < 0)
            continue;
        const QString name = QString::fromStdString(row.name);
        TracePlot trace(draws, std::size_t(index), QStringLiteral("Traza de ") + name);
        DensityPlot density(draws->parameter(std::size_t(index)),
                            QStringLiteral("Densidad de ") + name);
        use(renderPlot(trace, kTraceSize * scale), renderPlot(density, kDensitySize * scale));
    }
}

QImage ResultsWindow::plotsImage() const {
    const int rows = int(m_results->model.parameters.size());
    QImage image(kTraceSize.width() + kDensitySize.width(), std::max(rows, 1) * kTraceSize.height(),
                 QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    int y = 0;
    renderPlots(1, [&](const QImage& trace, const QImage& density) {
        painter.drawImage(0, y, trace);
        painter.drawImage(kTraceSize.width(), y, density);
        y += kTraceSize.height();
    });
    return image;
}

void ResultsWindow::paintReport(QPagedPaintDevice& device) const {
    ReportPainter report(device);
    report.title(windowTitle());
    report.line(settingsLine(*m_results));
    report.table(*m_model);
    report.line(looLine(*m_results));
    renderPlots(2, [&](const QImage& trace, const QImage& density) {
        report.pictures({trace, density});
    });
}

ComparisonWindow::ComparisonWindow(std::shared_ptr<const ComparisonResults> results,
                                   QWidget* parent)
    : ReportWindow(parent), m_results(std::move(results)),
      m_model(new ComparisonModel(m_results, this)), m_table(new QTableView(this)),
      m_plot(new DotWhiskerPlot(m_results->rows, this)) {
    setWindowTitle(QStringLiteral("Comparación de enlaces - %1")
                       .arg(QFileInfo(QString::fromStdString(m_results->folder)).fileName()));
    m_table->setModel(m_model);
    setUpTable(m_table);
    // Room for a label per link: the axis shows "..." for labels packed closer than a line.
    const int rowHeight = m_plot->fontMetrics().height() * 7 / 4;
    m_plot->setMinimumHeight(120 + rowHeight * int(m_results->rows.size()));
    auto* guide = selectableLabel(
        QStringLiteral("El mejor enlace primero, por elpd_loo. Una diferencia elpd_diff menor que "
                       "unas dos veces se_diff no separa dos enlaces. Las filas marcadas no han "
                       "convergido (R̂ > 1,01) o tienen casos con k de Pareto > 0,7. Doble clic en "
                       "una fila: los resultados de ese enlace."),
        this);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    auto* top = new QWidget;
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(guide);
    topLayout->addWidget(m_table, 1);
    splitter->addWidget(top);
    splitter->addWidget(m_plot);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    connect(m_table, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        const fit::ComparisonRow& row = m_results->rows[std::size_t(index.row())];
        emit openResultsRequested(m_results->fitOf(row));
    });
}

std::string ComparisonWindow::csv() const {
    return fit::ComparisonCsv(m_results->rows);
}

QString ComparisonWindow::proposedName() const {
    return QDir(QString::fromStdString(m_results->folder)).filePath(QStringLiteral("comparacion"));
}

QImage ComparisonWindow::plotsImage() const {
    DotWhiskerPlot plot(m_results->rows);
    return renderPlot(plot, QSize(720, 60 + 36 * m_model->rowCount()));
}

void ComparisonWindow::paintReport(QPagedPaintDevice& device) const {
    ReportPainter report(device);
    report.title(windowTitle());
    report.table(*m_model);
    DotWhiskerPlot plot(m_results->rows);
    report.pictures({renderPlot(plot, QSize(1440, 120 + 72 * m_model->rowCount()))});
}

} // namespace zento
