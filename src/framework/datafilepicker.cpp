// The data file dialog.
#include "framework/datafilepicker.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace zento {

QList<NameFilter> dataFileNameFilters() {
    // The leading blank of the second label is part of its text. "*.*" would skip names
    // without a dot on most systems, so "all files" is "*".
    return {{QStringLiteral("Archivos de Texto(*.txt)"), {QStringLiteral("*.txt")}},
            {QStringLiteral(" Todos los Archivos (*.*)"), {QStringLiteral("*")}}};
}

std::unique_ptr<QFileDialog> createDataFileDialog(QWidget* parent, const QString& folder) {
    auto dialog = std::make_unique<QFileDialog>(parent, QStringLiteral("Abrir Datos"));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // The dialog reads the patterns from the last parentheses of each filter and, with the
    // details hidden, shows what stands before them: the label.
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    QStringList filters;
    for (const NameFilter& filter : dataFileNameFilters())
        filters.append(filter.label + QStringLiteral(" (") +
                       filter.patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    // Set always: left alone, the dialog would start wherever any file dialog was last used.
    dialog->setDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
    return dialog;
}

DataFilePicker rememberingDataFilePicker() {
    auto folder = std::make_shared<QString>();
    return [folder](QWidget* parent) -> std::optional<QString> {
        const auto dialog = createDataFileDialog(parent, *folder);
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return std::nullopt;
        const QString file = dialog->selectedFiles().constFirst();
        *folder = QFileInfo(file).absolutePath();
        return file;
    };
}

} // namespace zento
