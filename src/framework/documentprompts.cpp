// The document questions as dialogs.
#include "framework/documentprompts.h"

#include "framework/messages.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

namespace zento {

namespace {

SaveChanges askSaveChangesBox(QWidget* parent, const QString& title) {
    QMessageBox box(QMessageBox::Question, QGuiApplication::applicationDisplayName(),
                    saveChangesQuestion(title), QMessageBox::NoButton, parent);
    QPushButton* save = box.addButton(QStringLiteral("&Guardar"), QMessageBox::AcceptRole);
    QPushButton* discard =
        box.addButton(QStringLiteral("&No guardar"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancelar"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChanges::Save;
    if (box.clickedButton() == discard)
        return SaveChanges::Discard;
    return SaveChanges::Cancel;
}

QString allFilesFilter() {
    return QStringLiteral("Todos los archivos (*)");
}

std::optional<QString> askSaveFileNameDialog(QWidget* parent, const QString& proposedPath) {
    QFileDialog dialog(parent, QStringLiteral("Guardar como"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromUtf8(kDocumentFilter));
    dialog.setDefaultSuffix(QString::fromLatin1(kDocumentExtension).mid(1));
    dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QStringList askOpenFileNamesDialog(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Abrir"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({QString::fromUtf8(kDocumentFilter), allFilesFilter()});
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace

DocumentPrompts DocumentPrompts::interactive() {
    return {askSaveChangesBox, askSaveFileNameDialog, askOpenFileNamesDialog,
            [](QWidget* parent, const QString& message) { showWarning(parent, message); }};
}

QString saveChangesQuestion(const QString& title) {
    return QStringLiteral("¿Desea guardar los cambios en %1?").arg(title);
}

QString withDocumentExtension(const QString& path) {
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QString::fromLatin1(kDocumentExtension);
}

} // namespace zento
