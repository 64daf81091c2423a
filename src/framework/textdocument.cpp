// The shared text of a document.
#include "framework/textdocument.h"

#include <QAbstractUndoItem>
#include <QPlainTextDocumentLayout>
#include <QTextCursor>

#include <utility>

namespace zento {

namespace {

// Big texts go into the document in pieces of about this size.
constexpr qsizetype kPieceBytes = qsizetype{1} << 20;

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

QTextOption::WrapMode wrapFor(QByteArrayView bytes) {
    return hasLongRun(bytes, [](char c) { return char16_t(static_cast<unsigned char>(c)); })
               ? QTextOption::WrapAnywhere
               : QTextOption::WrapAtWordBoundaryOrAnywhere;
}

} // namespace

// Brings back, with the text, what the text alone does not say: its code page, line ends,
// exact bytes and wrap mode. A replacement holds two: the first, undone last, restores the old
// state once the old text is back; the second, undone first, keeps a giant token of either text
// from being word-wrapped while the other is laid out.
class TextDocument::StateChange : public QAbstractUndoItem {
public:
    enum Role { First, Second };
    StateChange(TextDocument* text, Role role, State before)
        : m_text(text), m_role(role), m_before(std::move(before)) {}
    State after;

    void undo() override {
        if (m_role == First)
            m_text->apply(m_before);
        else
            m_text->setWrap(either());
    }
    void redo() override {
        if (m_role == First)
            m_text->setWrap(either());
        else
            m_text->apply(after);
    }

private:
    QTextOption::WrapMode either() const {
        return m_before.wrap == QTextOption::WrapAnywhere || after.wrap == QTextOption::WrapAnywhere
                   ? QTextOption::WrapAnywhere
                   : QTextOption::WrapAtWordBoundaryOrAnywhere;
    }

    TextDocument* m_text;
    Role m_role;
    State m_before;
};

TextDocument::TextDocument(QObject* parent) : QTextDocument(parent) {
    setDocumentLayout(new QPlainTextDocumentLayout(this));
    connect(this, &QTextDocument::contentsChange, this, &TextDocument::onContentsChange);
}

QByteArray TextDocument::textBytes() const {
    if (m_state.exactBytes)
        return *m_state.exactBytes;
    return encodeText(toRawText(), m_state.format);
}

void TextDocument::loadBytes(QByteArrayView bytes) {
    putBytes(bytes, History::Restart);
}

void TextDocument::replaceBytes(std::string bytes) {
    putBytes(bytes, History::Keep);
}

void TextDocument::putBytes(QByteArrayView bytes, History history) {
    m_replacing = true;
    // A load costs no undo memory: the history starts again from the new text.
    if (history == History::Restart)
        setUndoRedoEnabled(false);
    QTextCursor cursor(this);
    // One edit block: the views and the layout see one change, and undo takes it back whole.
    // The pieces go in without the whole text ever existing a second time as one string.
    cursor.beginEditBlock();
    const State before = m_state;
    StateChange* first = nullptr;
    if (history == History::Keep)
        appendUndoItem(first = new StateChange(this, StateChange::First, before));
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    setWrap(wrapFor(bytes)); // while the text is empty, so that nothing is laid out again
    const DecodedText decoded = decodeTextInPieces(
        bytes, kPieceBytes, [&cursor](QString piece) { cursor.insertText(piece); });
    m_state.format = decoded.format;
    m_state.exactBytes.reset();
    if (!decoded.exact)
        m_state.exactBytes = bytes.toByteArray();
    if (first) {
        first->after = m_state;
        auto* second = new StateChange(this, StateChange::Second, before);
        second->after = m_state;
        appendUndoItem(second);
    }
    cursor.endEditBlock();
    setUndoRedoEnabled(true);
    m_replacing = false;
    emit textReplaced();
}

void TextDocument::apply(const State& state) {
    m_state.format = state.format;
    // The document reports the change after the whole undo step, which would drop them.
    m_exactBytesAfterStep = state.exactBytes;
    setWrap(state.wrap);
}

void TextDocument::setWrap(QTextOption::WrapMode mode) {
    m_state.wrap = mode;
    if (wrapMode() == mode)
        return;
    // Any change lays the whole text out again.
    QTextOption option = defaultTextOption();
    option.setWrapMode(mode);
    setDefaultTextOption(option);
    emit wrapModeChanged(mode);
}

void TextDocument::noteIncomingText(const QString& text) {
    if (hasLongRun(text, [](QChar c) { return c.unicode(); }))
        setWrap(QTextOption::WrapAnywhere);
}

void TextDocument::onContentsChange(int, int charsRemoved, int charsAdded) {
    if (m_replacing || (charsRemoved == 0 && charsAdded == 0))
        return;
    m_state.exactBytes = std::exchange(m_exactBytesAfterStep, std::nullopt);
    emit textEdited();
}

} // namespace zento
