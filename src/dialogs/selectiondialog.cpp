// The selection dialogs' widgets.
#include "dialogs/selectiondialog.h"

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
    m_editPath->setObjectName(QStringLiteral("m_editPath"));
    m_editN->setObjectName(QStringLiteral("m_editN"));
    m_editChosenCases->setObjectName(QStringLiteral("m_editChosenCases"));
    m_editK->setObjectName(QStringLiteral("m_editK"));
    m_editChosenVariables->setObjectName(QStringLiteral("m_editChosenVariables"));
    auto* include = qobject_cast<QPushButton*>(zento::findControl(this, IDC_INCLUIR_DATOS));
    Q_ASSERT(include);
    connect(include, &QPushButton::clicked, this, &SelectionDialog::OnIncluirDatos);
}

void SelectionDialog::OnIncluirDatos() {
    const std::optional<QString> picked = m_pickFile(this);
    if (!picked)
        return;
    const std::string path = dataFilePath(*picked);
    auto scan = zento::runWithProgress(
        this, QStringLiteral("Leyendo el archivo de datos..."),
        [this, &path](zento::ProgressState& state) {
            return m_scan(path, [&state](std::uint64_t done, std::uint64_t total) {
                state.done = done;
                state.total = total;
                return !state.cancelRequested;
            });
        });
    readBoxes();
    const zento::Status included = m_logic.includeData(*picked, scan);
    if (!included) {
        if (included.error().kind != zento::DataErrorKind::Cancelled)
            zento::showWarning(this,
                               QString::fromStdString(zento::DescribeDataError(included.error())));
        return;
    }
    showBoxes();
}
