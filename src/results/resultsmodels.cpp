// The summary and comparison models.
#include "results/resultsmodels.h"

#include <QColor>

#include <algorithm>
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

} // namespace

QColor flagColour() {
    return QColor(255, 205, 195);
}

QString formatNumber(std::optional<double> value) {
    if (!value)
        return QStringLiteral("NA");
    return QString::number(*value, 'g', 6);
}

std::int64_t HighParetoK(const fit::Loo& loo) {
    return std::ranges::count_if(loo.paretoK, [](double k) { return !(k <= kParetoKLimit); });
}

SummaryModel::SummaryModel(std::shared_ptr<const FitResults> results, QObject* parent)
    : QAbstractTableModel(parent), m_results(std::move(results)) {}

int SummaryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_results->parameters.size());
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
        return !s.rhat || !(*s.rhat <= kRhatLimit);
    case EssBulk:
    case EssTail: {
        const std::optional<double> ess = value(s, column);
        return !ess || !(*ess >= kEssLimit);
    }
    default:
        return false;
    }
}

QVariant SummaryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ParameterRow& row = m_results->parameters[std::size_t(index.row())];
    const auto column = Column(index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (column == Parameter)
            return QString::fromStdString(row.parameter);
        if (column == Name)
            return QString::fromStdString(row.name);
        return formatNumber(value(row.summary, column));
    case kValueRole:
        return number(value(row.summary, column));
    case kFlagRole:
        return fails(row.summary, column);
    case Qt::BackgroundRole:
        return fails(row.summary, column) ? QVariant(flagColour()) : QVariant();
    case Qt::TextAlignmentRole:
        return column <= Name ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                              : QVariant(Qt::AlignRight | Qt::AlignVCenter);
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
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kSummaryHeaders[section])
                                                 : QVariant();
}

ComparisonModel::ComparisonModel(std::vector<ComparisonEntry> entries, QObject* parent)
    : QAbstractTableModel(parent), m_entries(std::move(entries)) {}

int ComparisonModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_entries.size());
}

int ComparisonModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ComparisonModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ComparisonEntry& e = m_entries[std::size_t(index.row())];
    const bool flagged = e.estado != "ok";
    std::optional<double> value;
    switch (Column(index.column())) {
    case ElpdLoo:
        value = e.elpdLoo;
        break;
    case SeElpdLoo:
        value = e.seElpdLoo;
        break;
    case ElpdDiff:
        value = e.elpdDiff;
        break;
    case SeDiff:
        value = e.seDiff;
        break;
    case PLoo:
        value = e.pLoo;
        break;
    case Looic:
        value = e.looic;
        break;
    case Waic:
        value = e.waic;
        break;
    case KMax:
        value = e.kMax;
        break;
    case KHigh:
        value = double(e.kHigh);
        break;
    case RhatMax:
        value = e.rhatMax;
        break;
    case EssBulkMin:
        value = e.essBulkMin;
        break;
    default:
        break;
    }
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == Link)
            return QString::fromStdString(e.link);
        if (index.column() == Estado)
            return QString::fromStdString(e.estado);
        if (index.column() == KHigh)
            return QString::number(e.kHigh);
        return formatNumber(value);
    case kValueRole:
        return number(value);
    case kFlagRole:
        return flagged;
    case Qt::BackgroundRole:
        return flagged ? QVariant(flagColour()) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == Link || index.column() == Estado
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (e.estado == "no converge")
            return QStringLiteral("Algún R̂ pasa de 1,01: este ajuste no ha convergido.");
        if (e.estado == "k alto")
            return QStringLiteral("Hay casos con k de Pareto > 0,7: su LOO no es fiable.");
        return QStringLiteral("Doble clic: abre los resultados de este enlace.");
    default:
        return {};
    }
}

QVariant ComparisonModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kComparisonHeaders[section])
                                                 : QVariant();
}

} // namespace zento
