// The summary and comparison models. Cells read as the command-line tool's CSV writes them.
#include "results/resultsmodels.h"

#include <QColor>

#include <array>

namespace zento {

namespace {

constexpr std::array<const char*, SummaryModel::ColumnCount> kSummaryHeaders = {
    "parametro", "nombre", "media", "de",   "mcse_media", "q2.5",    "q25",
    "q50",       "q75",    "q97.5", "rhat", "ess_bulk",   "ess_tail"};

constexpr std::array<const char*, ComparisonModel::ColumnCount> kComparisonHeaders = {
    "enlace", "elpd_loo", "se_elpd_loo", "elpd_diff", "se_diff",      "p_loo", "looic",
    "waic",   "k_max",    "k_altos",     "rhat_max",  "ess_bulk_min", "estado"};

QVariant number(std::optional<double> value) {
    return value ? QVariant(*value) : QVariant();
}

QString csvText(std::optional<double> value) {
    return QString::fromStdString(fit::CsvNumber(value));
}

QVariant header(const char* const* names, int count, int section, Qt::Orientation orientation,
                int role) {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < count ? QString::fromLatin1(names[section]) : QVariant();
}

QVariant alignment(bool words) {
    return words ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
}

} // namespace

QColor flagColour() {
    return QColor(255, 205, 195);
}

SummaryModel::SummaryModel(std::shared_ptr<const FitResults> results, QObject* parent)
    : QAbstractTableModel(parent), m_results(std::move(results)) {}

int SummaryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_results->model.parameters.size());
}

int SummaryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

std::optional<double> SummaryModel::value(const fit::Summary& s, Column column) {
    switch (column) {
    case Mean:
        return s.mean;
    case Sd:
        return s.sd;
    case McseMean:
        return s.mcseMean;
    case Q2_5:
    case Q25:
    case Q50:
    case Q75:
    case Q97_5:
        return s.quantiles[std::size_t(column - Q2_5)];
    case Rhat:
        return s.rhat;
    case EssBulk:
        return s.essBulk;
    case EssTail:
        return s.essTail;
    default:
        return std::nullopt;
    }
}

bool SummaryModel::fails(const fit::Summary& s, Column column) {
    switch (column) {
    case Rhat:
        return !s.rhat || !(*s.rhat <= fit::kRhatLimit);
    case EssBulk:
    case EssTail: {
        const std::optional<double> ess = value(s, column);
        return !ess || !(*ess >= fit::kEssLimit);
    }
    default:
        return false;
    }
}

QVariant SummaryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const fit::ParameterSummary& row = m_results->model.parameters[std::size_t(index.row())];
    const auto column = Column(index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (column == Parameter)
            return QString::fromStdString(row.parameter);
        if (column == Name)
            return QString::fromStdString(row.name);
        return csvText(value(row.summary, column));
    case kValueRole:
        return number(value(row.summary, column));
    case kFlagRole:
        return fails(row.summary, column);
    case Qt::BackgroundRole:
        return fails(row.summary, column) ? QVariant(flagColour()) : QVariant();
    case Qt::TextAlignmentRole:
        return alignment(column <= Name);
    case Qt::ToolTipRole:
        if (column == Rhat && fails(row.summary, column))
            return QStringLiteral("R̂ por encima de 1,01: las cadenas no han convergido; alargue "
                                  "el calentamiento o las iteraciones.");
        if ((column == EssBulk || column == EssTail) && fails(row.summary, column))
            return QStringLiteral("Tamaño efectivo por debajo de 400: pocas extracciones "
                                  "independientes; aumente las iteraciones.");
        return {};
    default:
        return {};
    }
}

QVariant SummaryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return header(kSummaryHeaders.data(), ColumnCount, section, orientation, role);
}

ComparisonModel::ComparisonModel(std::shared_ptr<const ComparisonResults> results, QObject* parent)
    : QAbstractTableModel(parent), m_results(std::move(results)) {}

int ComparisonModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_results->rows.size());
}

int ComparisonModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

std::optional<double> ComparisonModel::value(const fit::ComparisonRow& row, Column column) {
    const fit::FittedModel& model = row.model->model;
    const fit::Loo& loo = *model.loo;
    switch (column) {
    case ElpdLoo:
        return loo.elpd.value;
    case SeElpdLoo:
        return loo.elpd.se;
    case ElpdDiff:
        return row.elpdDiff;
    case SeDiff:
        return row.seDiff;
    case PLoo:
        return loo.p.value;
    case Looic:
        return loo.looic.value;
    case Waic:
        return model.waic ? std::optional(model.waic->waic.value) : std::nullopt;
    case KMax:
        return fit::LargestParetoK(loo);
    case KHigh:
        return double(fit::HighParetoK(loo));
    case RhatMax:
        return fit::Largest(model, &fit::Summary::rhat);
    case EssBulkMin:
        return fit::Smallest(model, &fit::Summary::essBulk);
    default:
        return std::nullopt;
    }
}

QVariant ComparisonModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const fit::ComparisonRow& row = m_results->rows[std::size_t(index.row())];
    const auto column = Column(index.column());
    const std::string state = fit::ModelState(row.model->model);
    const bool flagged = state != "ok";
    switch (role) {
    case Qt::DisplayRole:
        if (column == Link)
            return QString::fromStdString(row.model->link);
        if (column == Estado)
            return QString::fromStdString(state);
        if (column == KHigh)
            return QString::number(fit::HighParetoK(*row.model->model.loo));
        return csvText(value(row, column));
    case kValueRole:
        return number(value(row, column));
    case kFlagRole:
        return flagged;
    case Qt::BackgroundRole:
        return flagged ? QVariant(flagColour()) : QVariant();
    case Qt::TextAlignmentRole:
        return alignment(column == Link || column == Estado);
    case Qt::ToolTipRole:
        if (state == "no converge")
            return QStringLiteral("Algún R̂ pasa de 1,01: este ajuste no ha convergido.");
        if (state == "k alto")
            return QStringLiteral("Hay casos con k de Pareto > 0,7: su LOO no es fiable.");
        return QStringLiteral("Doble clic: abre los resultados de este enlace.");
    default:
        return {};
    }
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return header(kComparisonHeaders.data(), ColumnCount, section, orientation, role);
}

} // namespace zento
