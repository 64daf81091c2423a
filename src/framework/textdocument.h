// The text of one document as its edit views show it: one QTextDocument that every window of the
// document shares, which remembers the code page and line ends of the bytes it came from, so that
// saving gives those bytes back unchanged while nobody has edited them.
#pragma once

#include "framework/textcodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QTextDocument>
#include <QTextOption>

#include <optional>
#include <string>

namespace zento {

class TextDocument : public QTextDocument {
    Q_OBJECT
public:
    explicit TextDocument(QObject* parent = nullptr);

    // The whole text as bytes: exactly the bytes last put in while nobody has edited since;
    // after an edit, the text in those bytes' code page and line ends.
    QByteArray textBytes() const;
    TextFormat textFormat() const { return m_state.format; }

    // The bytes of a file as the whole text; the undo history starts again from them.
    void loadBytes(QByteArrayView bytes);
    // A generated text in place of the whole text, as one step that undo takes back (with the
    // code page and line ends of the text before). Takes the bytes so that their memory goes as
    // soon as the text holds them.
    void replaceBytes(std::string bytes);
    // Neither is an edit: textEdited is not emitted, and every view shows the text's start.

    // Text about to come in from outside (paste, drop): a giant token must not be word-wrapped.
    void noteIncomingText(const QString& text);
    QTextOption::WrapMode wrapMode() const { return defaultTextOption().wrapMode(); }

signals:
    // The user changed the text: typing, cut, paste, undo and redo, in any view.
    void textEdited();
    void textReplaced();
    // Views take it over, since each view pushes its own wrap mode into the text it shows.
    void wrapModeChanged(QTextOption::WrapMode mode);

private:
    enum class History { Restart, Keep };
    struct State {
        TextFormat format;
        // The bytes, kept only while re-encoding the text would not give them back (mixed line
        // ends, for instance).
        std::optional<QByteArray> exactBytes;
        QTextOption::WrapMode wrap = QTextOption::WrapAtWordBoundaryOrAnywhere;
    };
    class StateChange;

    void putBytes(QByteArrayView bytes, History history);
    void apply(const State& state);
    // Word wrapping takes time quadratic in the length of a run with no place to break (a token
    // of megabytes would freeze the window for hours): text with such a run wraps anywhere.
    void setWrap(QTextOption::WrapMode mode);
    void onContentsChange(int position, int charsRemoved, int charsAdded);

    State m_state;
    std::optional<QByteArray> m_exactBytesAfterStep;
    bool m_replacing = false;
};

} // namespace zento
