// The command table and the actions made from it.
#include "framework/commands.h"

#include "winbugs/models.h"

#include <QAction>
#include <QObject>

#include <algorithm>
#include <vector>

namespace zento {

namespace {

using Qt::ALT;
using Qt::CTRL;
using Qt::SHIFT;

// Labels carry the keys that really reach the command: Abrir Ctrl+O, Guardar Ctrl+S, Imprimir
// Ctrl+P. Ctrl+A, Ctrl+G and Ctrl+I are bound to nothing.
constexpr Command kCommands[] = {
    {ID_DATA_GENERAR, "&Generar Datos para WinBUGS", "", ""},
    {ID_AYUDA_DOCUMENTO, "Documento Ayuda", "", ""},
    {ID_ANALISIS_VERIFICAR, "&Verificar datos...",
     "Revisa un archivo de datos y lista lo que WinBUGS o JAGS leerían mal", "Verificar datos"},
    {ID_ANALISIS_EXPORTAR, "E&xportar a JAGS...",
     "Escribe en una carpeta los archivos para ajustar un enlace con JAGS", "Exportar a JAGS"},
    {ID_ANALISIS_AJUSTAR, "&Ajustar con JAGS...",
     "Ajusta un enlace con JAGS y muestra sus resúmenes y gráficos", "Ajustar con JAGS"},
    {ID_ANALISIS_COMPARAR, "&Comparar enlaces...",
     "Ajusta varios enlaces con JAGS y los ordena por su capacidad predictiva (LOO)",
     "Comparar enlaces"},
    {ID_ANALISIS_ABRIR, "Abrir &resultados...",
     "Abre una carpeta ya ajustada con JAGS o una comparación de enlaces", "Abrir resultados"},
    {ID_ANALISIS_GUARDAR, "&Guardar resultados...",
     "Guarda la tabla de la ventana de resultados en CSV y sus gráficos en PNG o en un informe PDF",
     "Guardar resultados"},

    {ID_FILE_NEW, "&Nuevo\tCtrl+N", "Crea un nuevo documento", "Nuevo", {CTRL | Qt::Key_N}, 0},
    {ID_FILE_OPEN,
     "&Abrir...\tCtrl+O",
     "Abre un documento ya existente",
     "Abrir",
     {CTRL | Qt::Key_O},
     1},
    {ID_FILE_CLOSE, "&Cerrar", "Cierra el documento activo", "Cerrar"},
    {ID_FILE_SAVE,
     "&Guardar\tCtrl+S",
     "Guarda el documento activo",
     "Guardar",
     {CTRL | Qt::Key_S},
     2},
    {ID_FILE_SAVE_AS, "Guardar c&omo...", "Guarda el documento activo con un nuevo nombre",
     "Guardar como"},
    {ID_FILE_PRINT_SETUP, "Con&figurar impresora...",
     "Cambia las opciones de impresora y de impresión", "Configurar impresora"},
    {ID_FILE_PRINT,
     "&Imprimir...\tCtrl+P",
     "Imprime el documento activo",
     "Imprimir",
     {CTRL | Qt::Key_P},
     6},
    {ID_FILE_PRINT_DIRECT, "", "", ""},
    {ID_FILE_PRINT_PREVIEW, "&Presentación preliminar", "Muestra páginas completas",
     "Presentación preliminar"},
    // The placeholder shown while the recent-file list is empty; the entries take its place.
    {ID_FILE_MRU_FILE1, "Archivo reciente", "Abre este documento", ""},
    {ID_FILE_MRU_FILE2, "", "Abre este documento", ""},
    {ID_FILE_MRU_FILE3, "", "Abre este documento", ""},
    {ID_FILE_MRU_FILE4, "", "Abre este documento", ""},
    {ID_EDIT_COPY,
     "&Copiar\tCtrl+C",
     "Copia la selección y la coloca en el portapapeles",
     "Copiar",
     {CTRL | Qt::Key_C, CTRL | Qt::Key_Insert},
     4},
    {ID_EDIT_CUT,
     "Cor&tar\tCtrl+X",
     "Corta la selección y la coloca en el portapapeles",
     "Cortar",
     {CTRL | Qt::Key_X, SHIFT | Qt::Key_Delete},
     3},
    {ID_EDIT_PASTE,
     "&Pegar\tCtrl+V",
     "Inserta el contenido del portapapeles",
     "Pegar",
     {CTRL | Qt::Key_V, SHIFT | Qt::Key_Insert},
     5},
    {ID_EDIT_UNDO,
     "&Deshacer\tCtrl+Z",
     "Deshace la última acción",
     "Deshacer",
     {CTRL | Qt::Key_Z, ALT | Qt::Key_Backspace}},
    {ID_WINDOW_NEW, "&Nueva ventana", "Abre otra ventana para el documento activo",
     "Nueva ventana"},
    {ID_WINDOW_ARRANGE, "&Organizar iconos",
     "Organiza los iconos en la parte inferior de la ventana", "Organizar iconos"},
    {ID_WINDOW_CASCADE, "&Cascada", "Organiza las ventanas de modo que se superpongan",
     "Ventanas en cascada"},
    {ID_WINDOW_TILE_HORZ, "&Mosaico", "Organiza las ventanas como mosaicos que no se superponen",
     "Ventanas en mosaico"},
    {ID_APP_ABOUT,
     "&Acerca de ZENTO...",
     "Muestra información del programa, número de versión y copyright",
     "Acerca de",
     {},
     7},
    {ID_APP_EXIT, "&Salir", "Sale de la aplicación; le pide que guarde los documentos", "Salir"},
    // Pane switching acts only in split windows; there are none, so these keys do nothing.
    {ID_NEXT_PANE, "", "", "", {QKeyCombination(Qt::Key_F6)}},
    {ID_PREV_PANE, "", "", "", {SHIFT | Qt::Key_F6}},

    {ID_VIEW_TOOLBAR, "Barra de &herramientas", "Muestra u oculta la barra de herramientas",
     "Alternar Barra de herramientas"},
    {ID_VIEW_STATUS_BAR, "Barra de &estado", "Muestra u oculta la barra de estado",
     "Alternar Barra de estado"},
    {AFX_IDS_PREVIEW_CLOSE, "Cerrar", "Cierra el modo de presentación preliminar",
     "Cancelar presentación preliminar"},
};

} // namespace

std::span<const Command> commandTable() {
    static const std::vector<Command> table = [] {
        std::vector<Command> commands(std::begin(kCommands), std::end(kCommands));
        for (const LinkInfo& link : Links())
            commands.push_back({CommandId(link.commandId), link.label, "", ""});
        return commands;
    }();
    return table;
}

const Command* findCommand(int id) {
    const std::span<const Command> table = commandTable();
    const auto it = std::ranges::find(table, id, &Command::id);
    return it == table.end() ? nullptr : &*it;
}

QList<QKeySequence> shortcuts(const Command& command) {
    QList<QKeySequence> keys;
    for (const QKeyCombination key : command.keys) {
        if (key.key() != Qt::Key_unknown)
            keys.append(QKeySequence(key));
    }
    return keys;
}

QAction* createCommandAction(CommandId id, QObject* parent) {
    auto* action = new QAction(parent);
    setUpCommandAction(action, id);
    return action;
}

void setUpCommandAction(QAction* action, CommandId id) {
    action->setProperty(kCommandIdProperty, int(id));
    const Command* command = findCommand(id);
    Q_ASSERT(command);
    if (!command)
        return;
    action->setText(toQString(command->label));
    action->setShortcuts(shortcuts(*command));
    action->setStatusTip(toQString(command->prompt));
    if (!command->tooltip.empty())
        action->setToolTip(toQString(command->tooltip));
}

QAction* findCommandAction(const QObject* root, int id) {
    if (!root)
        return nullptr;
    auto matches = [id](const QObject* object) {
        return qobject_cast<const QAction*>(object) &&
               object->property(kCommandIdProperty).toInt() == id;
    };
    if (matches(root))
        return qobject_cast<QAction*>(const_cast<QObject*>(root));
    for (QAction* action : root->findChildren<QAction*>()) {
        if (matches(action))
            return action;
    }
    return nullptr;
}

} // namespace zento
