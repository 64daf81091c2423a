// Table models over a fit's results: the summary of one link (one row per parameter) and the
// comparison of links (one row per link, best first). Values that fail a threshold are flagged
// through the roles, so any plain view shows them.
#pragma once

#include "results/fitresults.h"

#include <QAbstractTableModel>

#include <memory>

namespace zento {

// The raw number behind a cell (a double, or invalid where the measure is not available).
inline constexpr int kValueRole = Qt::UserRole;
// True on a cell or row that fails its threshold.
inline constexpr int kFlagRole = Qt::UserRole + 1;

// The colour of a flagged cell's background.
QColor flagColour();

class SummaryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Parameter,
        Name,
        Mean,
        Sd,
        McseMean,
        Q2_5,
        Q25,
        Q50,
        Q75,
        Q97_5,
        Rhat,
        EssBulk,
        EssTail,
        ColumnCount
    };

    explicit SummaryModel(std::shared_ptr<const FitResults> results, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    static std::optional<double> value(const fit::Summary& summary, Column column);
    // R-hat above 1.01, or an ESS below 400 (a missing one too: it could not be estimated).
    static bool fails(const fit::Summary& summary, Column column);

private:
    std::shared_ptr<const FitResults> m_results;
};

class ComparisonModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Link,
        ElpdLoo,
        SeElpdLoo,
        ElpdDiff,
        SeDiff,
        PLoo,
        Looic,
        Waic,
        KMax,
        KHigh,
        RhatMax,
        EssBulkMin,
        Estado,
        ColumnCount
    };

    explicit ComparisonModel(std::shared_ptr<const ComparisonResults> results,
                             QObject* parent = nullptr);

    const ComparisonResults& results() const { return *m_results; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    static std::optional<double> value(const fit::ComparisonRow& row, Column column);

private:
    std::shared_ptr<const ComparisonResults> m_results;
};

} // namespace zento
