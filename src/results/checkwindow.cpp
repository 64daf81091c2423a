// The findings window.
#include "results/checkwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace zento {

namespace {

QString fromBytes(const std::string& bytes) {
    // Data files are 8-bit; what is not UTF-8 shows as Latin-1, as the document windows show it.
    const QString text = QString::fromUtf8(bytes);
    return text.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(bytes) : text;
}

} // namespace

KeptFinding keepFinding(const CheckFinding& finding) {
    return {finding.kind,
            finding.line,
            finding.column,
            std::string(finding.columnName),
            std::string(finding.token),
            DescribeProblem(finding)};
}

Result<DataCheckReport> checkData(const std::string& path, std::int32_t variables,
                                  std::int32_t cases, std::int64_t shown) {
    CheckOptions options;
    options.variables = variables;
    options.cases = cases;
    options.maxShown = shown;
    DataCheckReport report;
    report.path = path;
    auto summary = CheckDataFile(path, options, [&report](const CheckFinding& finding) {
        report.findings.push_back(keepFinding(finding));
    });
    if (!summary)
        return summary.error();
    report.summary = std::move(*summary);
    return report;
}

FindingsModel::FindingsModel(std::vector<KeptFinding> findings, QObject* parent)
    : QAbstractTableModel(parent), m_findings(std::move(findings)) {}

int FindingsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_findings.size());
}

int FindingsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FindingsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const KeptFinding& f = finding(index.row());
    if (role == Qt::TextAlignmentRole)
        return index.column() <= ColumnNumber ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                              : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && f.line > 0)
        return QStringLiteral("Doble clic: abre el archivo en esta línea.");
    if (role != Qt::DisplayRole)
        return {};
    switch (Column(index.column())) {
    case Line:
        return f.line > 0 ? QVariant(qint64(f.line)) : QVariant(QStringLiteral("casos"));
    case ColumnNumber:
        if (f.column < 0)
            return {};
        return f.columnName.empty()
                   ? QString::number(f.column + 1)
                   : QStringLiteral("%1 (%2)").arg(f.column + 1).arg(fromBytes(f.columnName));
    case Token:
        return fromBytes(f.token);
    case Problem:
        return fromBytes(f.problem);
    default:
        return {};
    }
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    static const char* const kHeaders[] = {"línea", "columna", "dato", "problema"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(kHeaders[section])
                                                 : QVariant();
}

QString CheckWindow::totalsText(const CheckSummary& s) {
    QStringList lines;
    for (std::size_t kind = 0; kind < kCheckKindCount; ++kind) {
        if (s.found[kind] > 0)
            lines << QStringLiteral("%1: %2")
                         .arg(QString::fromUtf8(KindTitle(CheckKind(kind))))
                         .arg(s.found[kind]);
    }
    for (const CheckSummary::Suppressed& more : s.suppressed) {
        const QString where =
            more.column >= 0 ? QStringLiteral("columna %1").arg(more.column + 1) : "filas";
        lines << QStringLiteral("… y %1 más de «%2» en %3, que no se muestran.")
                     .arg(more.count)
                     .arg(QString::fromUtf8(KindTitle(more.kind)), where);
    }
    lines << QString::fromStdString("Total: " + CountWords(s.total(), "problema", "problemas") +
                                    " (K = " + std::to_string(s.K) + "; se revisaron " +
                                    CountWords(s.variables, "variable", "variables") + " y " +
                                    CountWords(s.caseLines, "línea de casos", "líneas de casos") +
                                    ").");
    return lines.join(QLatin1Char('\n'));
}

CheckWindow::CheckWindow(DataCheckReport report, QWidget* parent)
    : QWidget(parent), m_report(std::move(report)), m_table(new QTableView(this)),
      m_totals(new QLabel(this)) {
    const QString path = QString::fromStdString(m_report.path);
    setWindowTitle(QStringLiteral("Verificación - %1").arg(QFileInfo(path).fileName()));
    auto* model = new FindingsModel(m_report.findings, this);
    m_table->setModel(model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->resizeColumnsToContents();
    m_totals->setText(totalsText(m_report.summary));
    m_totals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* heading = new QLabel(QDir::toNativeSeparators(path), this);
    heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_totals);
    connect(m_table, &QAbstractItemView::doubleClicked, this,
            [this, model, path](const QModelIndex& index) {
                const KeptFinding& f = model->finding(index.row());
                if (f.line > 0)
                    emit showLineRequested(path, f.line);
            });
}

} // namespace zento
