// The questions the document commands ask the user: save changes, the names to save as and to
// open, and file error messages. Each is a function so that tests (and callers without a
// screen) can answer in place of the dialogs.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QWidget;

namespace zento {

// The document type's strings: the base of new titles, the file filter and its extension.
inline constexpr char kDocumentName[] = "Texto";
inline constexpr char kDocumentFilter[] = "Archivos ZENTO (*.txt)";
inline constexpr char kDocumentExtension[] = ".txt";
inline constexpr char kDocumentFileTypeId[] = "ZENTO.Document";
inline constexpr char kDocumentFileTypeName[] = "Texto Document";

enum class SaveChanges { Save, Discard, Cancel };

struct DocumentPrompts {
    // "Save the changes to title?" with "Guardar", "No guardar" and "Cancelar".
    std::function<SaveChanges(QWidget* parent, const QString& title)> askSaveChanges;
    // The name to save as, starting from proposedPath; nullopt when cancelled.
    std::function<std::optional<QString>(QWidget* parent, const QString& proposedPath)>
        askSaveFileName;
    // The files to open; empty when cancelled.
    std::function<QStringList(QWidget* parent)> askOpenFileNames;
    // A file error; must not wait for the user's answer.
    std::function<void(QWidget* parent, const QString& message)> warn;

    // The real dialogs.
    static DocumentPrompts interactive();
};

// "¿Desea guardar los cambios en Texto1?"
QString saveChangesQuestion(const QString& title);

// The name with ".txt" appended when its file name has no extension.
QString withDocumentExtension(const QString& path);

} // namespace zento
