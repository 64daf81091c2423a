// The window of "Verificar datos": the checker's findings on a data file as a table (línea,
// columna, dato, problema) and how many there are of each kind. Double-clicking a finding asks
// for the file to be shown at its line.
#pragma once

#include "winbugs/datacheck.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <string>
#include <vector>

class QLabel;
class QTableView;

namespace zento {

// One finding, kept: the checker hands its tokens over only for the time of the call.
struct KeptFinding {
    CheckKind kind = CheckKind::NoHeader;
    std::int64_t line = 0;
    std::int64_t column = -1;
    std::string columnName;
    std::string token;
    std::string problem; // the checker's words, without the place
};
KeptFinding keepFinding(const CheckFinding& finding);

struct DataCheckReport {
    std::string path;
    CheckSummary summary;
    std::vector<KeptFinding> findings;
};

// Runs the checker over the chosen columns and cases, keeping up to shown findings per kind and
// column (the rest are counted).
Result<DataCheckReport> checkData(const std::string& path, std::int32_t variables,
                                  std::int32_t cases, std::int64_t shown = 200);

class FindingsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Line, ColumnNumber, Token, Problem, ColumnCount };

    explicit FindingsModel(std::vector<KeptFinding> findings, QObject* parent = nullptr);

    const KeptFinding& finding(int row) const { return m_findings[std::size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<KeptFinding> m_findings;
};

class CheckWindow : public QWidget {
    Q_OBJECT
public:
    explicit CheckWindow(DataCheckReport report, QWidget* parent = nullptr);

    QTableView* table() const { return m_table; }
    QLabel* totals() const { return m_totals; }
    const DataCheckReport& report() const { return m_report; }

    // The per-kind totals, the findings not shown, and the sum, one line each.
    static QString totalsText(const CheckSummary& summary);

signals:
    // A finding was double-clicked: show path at that 1-based line.
    void showLineRequested(const QString& path, qint64 line);

private:
    DataCheckReport m_report;
    QTableView* m_table;
    QLabel* m_totals;
};

} // namespace zento
