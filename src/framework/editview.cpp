// The edit view.
#include "framework/editview.h"

#include "framework/commands.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPrinter>
#include <QTextCursor>

#include <algorithm>

namespace zento {

EditView::EditView(QWidget* parent) : QPlainTextEdit(parent) {
    // Long lines wrap at the window's edge, on screen only; there is nothing to scroll sideways.
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The vertical bar is always there, as in the classic edit view: a bar that appeared with a
    // long text would narrow the window and make the control lay out every line again (about
    // a third of a second and a layout object per line for a million lines).
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_ownText = std::make_unique<TextDocument>();
    showText(m_ownText.get());

    m_messageMap.add(
        ID_EDIT_UNDO, [this] { undo(); }, [this] { return canUndo(); });
    m_messageMap.add(
        ID_EDIT_CUT, [this] { cut(); }, [this] { return canCut(); });
    m_messageMap.add(
        ID_EDIT_COPY, [this] { copy(); }, [this] { return canCopy(); });
    m_messageMap.add(
        ID_EDIT_PASTE, [this] { paste(); }, [this] { return canPasteHere(); });
    m_messageMap.add(ID_FILE_PRINT, this, &EditView::OnFilePrint);
    m_messageMap.add(ID_FILE_PRINT_DIRECT, this, &EditView::OnFilePrintDirect);
    m_messageMap.add(ID_FILE_PRINT_PREVIEW, this, &EditView::OnFilePrintPreview);
}

EditView::~EditView() = default;

void EditView::setTextDocument(TextDocument* text) {
    if (!text || text == m_text)
        return;
    showText(text);
    m_ownText.reset();
}

void EditView::showText(TextDocument* text) {
    if (m_text)
        disconnect(m_text, nullptr, this, nullptr);
    m_text = text;
    // The view's wrap mode first: the view pushes it into the text it is given.
    setWordWrapMode(text->wrapMode());
    setDocument(text);
    connect(text, &TextDocument::wrapModeChanged, this, &QPlainTextEdit::setWordWrapMode);
    connect(text, &TextDocument::textReplaced, this,
            [this] { setTextCursor(QTextCursor(m_text)); }); // at the start, scrolled to the top
}

bool EditView::canUndo() const {
    return !isReadOnly() && document()->isUndoAvailable();
}

bool EditView::canCut() const {
    return !isReadOnly() && textCursor().hasSelection();
}

bool EditView::canCopy() const {
    return textCursor().hasSelection();
}

bool EditView::canPasteHere() const {
    return !isReadOnly() && canPaste();
}

void EditView::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText())
        m_text->noteIncomingText(source->text());
    QPlainTextEdit::insertFromMimeData(source);
}

void EditView::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data->hasUrls() && std::ranges::all_of(data->urls(), &QUrl::isLocalFile)) {
        event->ignore();
        return;
    }
    QPlainTextEdit::dragEnterEvent(event);
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
