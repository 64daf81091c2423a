// The data file dialog.
#include "framework/datafilepicker.h"

#include <QDir>
#include <QFileDialog>

namespace zento {

QString dataFileDialogTitle() {
    return QStringLiteral("Abrir Datos");
}

QList<NameFilter> dataFileNameFilters() {
    // The leading blank of the second label is part of its text. "*.*" would skip names
    // without a dot on most systems, so "all files" is "*".
    return {{QStringLiteral("Archivos de Texto(*.txt)"), {QStringLiteral("*.txt")}},
            {QStringLiteral(" Todos los Archivos (*.*)"), {QStringLiteral("*")}}};
}

std::unique_ptr<QFileDialog> createDataFileDialog(QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent, dataFileDialogTitle());
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
    const QDir examples(QDir::current().filePath(QStringLiteral("examples")));
    if (examples.exists())
        dialog->setDirectory(examples.absolutePath());
    return dialog;
}

std::optional<QString> pickDataFile(QWidget* parent) {
    const auto dialog = createDataFileDialog(parent);
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty())
        return std::nullopt;
    return files.constFirst();
}

} // namespace zento
