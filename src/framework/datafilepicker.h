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

struct NameFilter {
    QString label;        // the text the dialog shows
    QStringList patterns; // the file names it lets through
};

// Text files first, then all files.
QList<NameFilter> dataFileNameFilters();

// The dialog, configured but not shown, starting in folder (the working directory when empty).
std::unique_ptr<QFileDialog> createDataFileDialog(QWidget* parent, const QString& folder = {});

// Runs that dialog modally; each picker starts where the last file it picked lies, so one picker
// per run of the program remembers the data folder without sending other dialogs there.
DataFilePicker rememberingDataFilePicker();

} // namespace zento
