// Choosing a data file: the "Abrir Datos" file dialog, behind a function type so that tests and
// callers can supply a path without showing it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace zento {

// Returns the full path of an existing file, or nullopt when the user cancelled.
using DataFilePicker = std::function<std::optional<QString>(QWidget* parent)>;

QString dataFileDialogTitle(); // "Abrir Datos"

struct NameFilter {
    QString label;        // the text the dialog shows
    QStringList patterns; // the file names it lets through
};

// Text files first, then all files.
QList<NameFilter> dataFileNameFilters();

// The dialog, configured but not shown; it starts in the working directory's examples/ folder
// when there is one.
std::unique_ptr<QFileDialog> createDataFileDialog(QWidget* parent);

// Runs that dialog modally.
std::optional<QString> pickDataFile(QWidget* parent);

} // namespace zento
