// The edit view.
#include "framework/editview.h"

#include "framework/commands.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <iterator>
#include <utility>

namespace zento {

namespace {

// Big texts go into the edit control in pieces of about this size.
constexpr qsizetype kPieceBytes = qsizetype{1} << 20;

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

// Runs without a blank up to this long still wrap at word boundaries in a blink. Only ASCII
// blanks count: a no-break space is no place to break.
constexpr qsizetype kLongestWordWrapped = 4096;

template <class Text, class Code> bool hasLongRun(const Text& text, Code code) {
    qsizetype run = 0;
    for (const auto c : text) {
        const char16_t unit = code(c);
        run = unit == u' ' || (unit >= u'\t' && unit <= u'\r') ? 0 : run + 1;
        if (run > kLongestWordWrapped)
            return true;
    }
    return false;
}

bool hasLongRun(QByteArrayView bytes) {
    return hasLongRun(bytes, [](char c) { return char16_t(static_cast<unsigned char>(c)); });
}

bool hasLongRun(const QString& text) {
    return hasLongRun(text, [](QChar c) { return c.unicode(); });
}

const EditRoute* findEditRoute(int id) {
    const auto it = std::ranges::find(kEditRoutes, id, &EditRoute::id);
    return it == std::end(kEditRoutes) ? nullptr : &*it;
}

} // namespace

EditView::EditView(QWidget* parent) : QPlainTextEdit(parent) {
    // Long lines wrap at the window's edge, on screen only; there is nothing to scroll sideways.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The vertical bar is always there, as in the classic edit view: a bar that appeared with a
    // long text would narrow the window and make the control lay out every line again (about
    // a third of a second and a layout object per line for a million lines).
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(document(), &QTextDocument::contentsChange, this, &EditView::onContentsChange);
}

EditView::~EditView() = default;

QByteArray EditView::textBytes() const {
    if (m_exactBytes)
        return *m_exactBytes;
    return encodeText(document()->toRawText(), m_format);
}

void EditView::setTextBytes(QByteArrayView bytes) {
    QTextDocument* text = document();
    m_replacing = true;
    // Undo stays off while the text goes in: the replacement costs no undo memory, and the
    // history starts again from the new text.
    text->setUndoRedoEnabled(false);
    text->clear();
    // Chosen while the control is empty, so that no text is laid out again for it.
    setWrap(hasLongRun(bytes) ? QTextOption::WrapAnywhere
                              : QTextOption::WrapAtWordBoundaryOrAnywhere);
    // The pieces go in within one edit block, so the edit control and its layout see one change,
    // as with setPlainText; but the whole text never exists a second time as one string, and
    // the pass of setPlainText that gives every character the same format again is saved.
    QTextCursor cursor(text);
    cursor.beginEditBlock();
    const DecodedText decoded = decodeTextInPieces(
        bytes, kPieceBytes, [&cursor](QString piece) { cursor.insertText(piece); });
    cursor.endEditBlock();
    text->setUndoRedoEnabled(true);
    text->setModified(false);
    m_format = decoded.format;
    m_exactBytes.reset();
    if (!decoded.exact)
        m_exactBytes = bytes.toByteArray();
    setTextCursor(QTextCursor(text)); // at the start, scrolled to the top
    m_replacing = false;
}

void EditView::takeTextBytes(std::string bytes) {
    setTextBytes(bytes);
}

void EditView::setWrap(QTextOption::WrapMode mode) {
    // Any change lays the whole text out again.
    if (wordWrapMode() != mode)
        setWordWrapMode(mode);
}

void EditView::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && hasLongRun(source->text()))
        setWrap(QTextOption::WrapAnywhere);
    QPlainTextEdit::insertFromMimeData(source);
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
