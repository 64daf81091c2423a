// The edit view: a plain-text edit control whose whole text is one document's bytes, with the
// editing and printing commands every such view has.
#pragma once

#include "framework/textcodec.h"
#include "framework/textprinting.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QPlainTextEdit>

class QMenu;
class QMimeData;

#include <memory>
#include <optional>
#include <span>
#include <string>

namespace zento {

// What the command routing learns about one command id.
struct CommandState {
    bool handled = false; // something on the route handles the id
    bool enabled = false; // and it may run now
};

class EditView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit EditView(QWidget* parent = nullptr);
    ~EditView() override;

    // The whole text as bytes: exactly the bytes last put in by setTextBytes while the user has
    // not edited since; after an edit, the text in those bytes' code page and line ends.
    QByteArray textBytes() const;
    TextFormat textFormat() const { return m_format; }

    // Replaces the whole text in one call (nothing is inserted or appended). This is not an
    // edit: textEdited is not emitted. The undo history starts again from the new text, the
    // caret at its start.
    void setTextBytes(QByteArrayView bytes);
    // The same, taking the bytes so that their memory is freed as soon as the edit control
    // holds the text (big generated texts).
    void takeTextBytes(std::string bytes);

    // The edit control's own menu, in Spanish.
    QMenu* createSpanishContextMenu();

    // The editing commands (undo, cut, copy, paste) handled by the view itself; subclasses put
    // their own table in front and fall back on this one.
    virtual CommandState commandState(int id) const;
    virtual bool onCommand(int id); // whether the id was handled

    // Printing, through the shared settings of printing (a view without them uses its own).
    void setPrinting(TextPrinting* printing) { m_printing = printing; }
    TextPrinting& printing();
    bool printText(PrintJob job); // what the three print commands call
    // The same with other settings, e.g. a printer named for one print.
    bool printText(PrintJob job, TextPrinting& printing);
    void OnFilePrint() { printText(PrintJob::Dialog); }
    void OnFilePrintDirect() { printText(PrintJob::Direct); }
    void OnFilePrintPreview() { printText(PrintJob::Preview); }

signals:
    // The user changed the text: typing, cut, paste, undo.
    void textEdited();

protected:
    // The name a print job carries.
    virtual QString printDocumentName() const;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Word wrapping takes time quadratic in the length of a run with no place to break (a token
    // of megabytes would freeze the window for hours): text with such a run wraps anywhere.
    void setWrap(QTextOption::WrapMode mode);
    void onContentsChange(int position, int charsRemoved, int charsAdded);

    TextFormat m_format;
    // The bytes last put in, kept only while the user has not edited and re-encoding the text
    // would not give them back (mixed line ends, for instance).
    std::optional<QByteArray> m_exactBytes;
    bool m_replacing = false;
    TextPrinting* m_printing = nullptr;
    std::unique_ptr<TextPrinting> m_ownPrinting;
};

} // namespace zento
