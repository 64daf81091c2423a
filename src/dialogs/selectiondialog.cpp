// The selection dialogs' widgets.
#include "dialogs/selectiondialog.h"

#include "datafile/headerseparator.h"
#include "framework/messages.h"
#include "framework/progressrunner.h"

#include <QLineEdit>
#include <QPushButton>

SelectionDialog::SelectionDialog(const zento::DialogTemplate& dialogTemplate,
                                 const SelectionLayout& layout, QWidget* parent)
    : zento::ExchangeDialog(parent), m_logic(layout) {
    createControls(dialogTemplate);
    m_editPath = box(layout.pathBox);
    m_editN = box(layout.nBox);
    m_editChosenCases = box(layout.chosenCasesBox);
    m_editK = box(layout.kBox);
    m_editChosenVariables = box(layout.chosenVariablesBox);
    auto* include = qobject_cast<QPushButton*>(zento::findControl(this, IDC_INCLUIR_DATOS));
    Q_ASSERT(include);
    connect(include, &QPushButton::clicked, this, &SelectionDialog::OnIncluirDatos);
}

void SelectionDialog::OnIncluirDatos() {
    const std::optional<QString> picked = m_pickFile(this);
    if (!picked)
        return;
    const std::string path = dataFilePath(*picked);
    struct Reading {
        zento::Result<zento::ScanCounts> counts;
        zento::HeaderSeparator separator = zento::HeaderSeparator::Tab;
    };
    const auto reading = zento::runWithProgress(
        this, QStringLiteral("Leyendo el archivo de datos..."),
        [this, &path](zento::ProgressState& state) {
            Reading reading{m_scan(path, [&state](std::uint64_t done, std::uint64_t total) {
                state.done = done;
                state.total = total;
                return !state.cancelRequested;
            })};
            if (reading.counts) {
                if (const auto separator = zento::ReadHeaderSeparator(path))
                    reading.separator = *separator;
            }
            return reading;
        });
    if (!reading)
        return;
    readBoxes();
    if (const zento::Status included = m_logic.includeData(*picked, reading->counts); !included) {
        zento::showWarning(this, QString::fromStdString(DescribeDataError(included.error())));
        return;
    }
    showBoxes();
    // Enter now accepts the counts proposed.
    zento::findControl(this, zento::IDOK)->setFocus(Qt::OtherFocusReason);
    if (const std::string warning = zento::DescribeHeaderSeparator(reading->separator, path);
        !warning.empty())
        zento::showWarning(this, QString::fromStdString(warning));
}
