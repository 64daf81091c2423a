// The edit view.
#include "framework/editview.h"

#include "framework/commands.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPrinter>
#include <QTextDocument>

#include <algorithm>
#include <iterator>
#include <utility>

namespace zento {

namespace {

struct EditRoute {
    CommandId id;
    void (QPlainTextEdit::*handler)();
    bool (*enabled)(const QPlainTextEdit&);
};

bool hasSelection(const QPlainTextEdit& edit) {
    return edit.textCursor().hasSelection();
}

constexpr EditRoute kEditRoutes[] = {
    {ID_EDIT_UNDO, &QPlainTextEdit::undo,
     [](const QPlainTextEdit& edit) { return edit.document()->isUndoAvailable(); }},
    {ID_EDIT_CUT, &QPlainTextEdit::cut, hasSelection},
    {ID_EDIT_COPY, &QPlainTextEdit::copy, hasSelection},
    {ID_EDIT_PASTE, &QPlainTextEdit::paste,
     [](const QPlainTextEdit& edit) { return edit.canPaste(); }},
};

// The texts of the edit control's menu entries, by the entries' object names.
constexpr std::pair<const char*, const char*> kContextMenuTexts[] = {
    {"edit-undo", "&Deshacer"},
    {"edit-redo", "&Rehacer"},
    {"edit-cut", "Cor&tar"},
    {"edit-copy", "&Copiar"},
    {"edit-paste", "&Pegar"},
    {"edit-delete", "&Eliminar"},
    {"select-all", "Seleccionar &todo"},
};

const EditRoute* findEditRoute(int id) {
    const auto it = std::ranges::find(kEditRoutes, id, &EditRoute::id);
    return it == std::end(kEditRoutes) ? nullptr : &*it;
}

} // namespace

EditView::EditView(QWidget* parent) : QPlainTextEdit(parent) {
    // Long lines wrap at the window's edge, on screen only; there is nothing to scroll sideways.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(document(), &QTextDocument::contentsChange, this, &EditView::onContentsChange);
}

EditView::~EditView() = default;

QByteArray EditView::textBytes() const {
    if (m_exactBytes)
        return *m_exactBytes;
    return encodeText(document()->toRawText(), m_format);
}

void EditView::setTextBytes(QByteArrayView bytes) {
    DecodedText decoded = decodeText(bytes);
    std::optional<QByteArray> exact;
    if (!decoded.exact)
        exact = bytes.toByteArray();
    setDecodedText(std::move(decoded), std::move(exact));
}

void EditView::takeTextBytes(std::string bytes) {
    DecodedText decoded = decodeText(bytes);
    std::optional<QByteArray> exact;
    if (!decoded.exact)
        exact = QByteArray(bytes.data(), qsizetype(bytes.size()));
    std::string().swap(bytes);
    setDecodedText(std::move(decoded), std::move(exact));
}

void EditView::setDecodedText(DecodedText decoded, std::optional<QByteArray> exactBytes) {
    m_format = decoded.format;
    m_exactBytes = std::move(exactBytes);
    m_replacing = true;
    // setPlainText leaves undo off while it fills the control, so the replacement costs no
    // undo memory.
    setPlainText(decoded.text);
    m_replacing = false;
}

void EditView::onContentsChange(int, int charsRemoved, int charsAdded) {
    if (m_replacing || (charsRemoved == 0 && charsAdded == 0))
        return;
    m_exactBytes.reset();
    emit textEdited();
}

QMenu* EditView::createSpanishContextMenu() {
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        const auto it = std::ranges::find_if(kContextMenuTexts, [action](const auto& entry) {
            return action->objectName() == QLatin1String(entry.first);
        });
        if (it == std::end(kContextMenuTexts))
            continue;
        // The keys stay as the control shows them, after the tab.
        const QString text = action->text();
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        action->setText(QString::fromUtf8(it->second) + (tab < 0 ? QString() : text.mid(tab)));
    }
    return menu;
}

void EditView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createSpanishContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

CommandState EditView::commandState(int id) const {
    const EditRoute* route = findEditRoute(id);
    if (!route)
        return {};
    return {true, !isReadOnly() || route->id == ID_EDIT_COPY ? route->enabled(*this) : false};
}

bool EditView::onCommand(int id) {
    const EditRoute* route = findEditRoute(id);
    if (!route)
        return false;
    if (commandState(id).enabled)
        (this->*route->handler)();
    return true;
}

TextPrinting& EditView::printing() {
    if (m_printing)
        return *m_printing;
    if (!m_ownPrinting)
        m_ownPrinting = std::make_unique<TextPrinting>();
    return *m_ownPrinting;
}

bool EditView::printText(PrintJob job) {
    return printText(job, printing());
}

bool EditView::printText(PrintJob job, TextPrinting& printing) {
    return printing.print(this, job, printDocumentName(),
                          [this](QPrinter* printer) { print(printer); });
}

QString EditView::printDocumentName() const {
    return windowTitle();
}

} // namespace zento
