// The command table: every command id of the menus, accelerators and toolbar, with its menu label,
// status-bar prompt, tooltip, shortcut keys and toolbar image, declared once. The nine model
// commands come from the link table.
#pragma once

#include <QKeyCombination>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <array>
#include <span>
#include <string_view>

class QAction;
class QObject;

namespace zento {

enum CommandId : int {
    ID_DATA_GENERAR = 32771,
    ID_AYUDA_DOCUMENTO = 32783,

    // The analysis menu: checking data, fitting with JAGS and the windows of results.
    ID_ANALISIS_VERIFICAR = 32790,
    ID_ANALISIS_EXPORTAR = 32791,
    ID_ANALISIS_AJUSTAR = 32792,
    ID_ANALISIS_COMPARAR = 32793,
    ID_ANALISIS_ABRIR = 32794,
    ID_ANALISIS_GUARDAR = 32795,

    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_MRU_FILE1 = 57616,
    ID_FILE_MRU_FILE2 = 57617,
    ID_FILE_MRU_FILE3 = 57618,
    ID_FILE_MRU_FILE4 = 57619,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_UNDO = 57643,
    ID_WINDOW_NEW = 57648,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,

    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,

    AFX_IDS_PREVIEW_CLOSE = 61445, // the print preview's own close command
};

// Shown in the status bar's message pane when no prompt is.
inline constexpr char kIdleMessage[] = "Preparado";

struct Command {
    CommandId id;
    std::string_view label;   // menu text (UTF-8, "&" mnemonic, "\t" before the keys shown)
    std::string_view prompt;  // status-bar prompt, "" if none
    std::string_view tooltip; // toolbar tooltip, "" if none
    std::array<QKeyCombination, 2> keys{}; // Qt::Key_unknown marks an unused slot
    int image = -1;                        // index in the toolbar strip, -1 if no button
};

// The fixed commands, then the nine model commands in menu order.
std::span<const Command> commandTable();
const Command* findCommand(int id); // nullptr for an id not in the table
QList<QKeySequence> shortcuts(const Command& command);

inline QString toQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// The property that carries the command id on actions and controls.
inline constexpr char kCommandIdProperty[] = "commandId";

// A new action with the command's label, keys, prompt (status tip) and tooltip. Connecting it is
// the caller's business.
QAction* createCommandAction(CommandId id, QObject* parent);
// The same on an action made elsewhere (a bar's toggle, for instance).
void setUpCommandAction(QAction* action, CommandId id);

// The action of that id among root's descendants (root included), or nullptr.
QAction* findCommandAction(const QObject* root, int id);

} // namespace zento
