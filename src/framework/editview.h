// The edit view: a plain-text edit control showing one document's text, with the editing and
// printing commands every such view has.
#pragma once

#include "framework/messagemap.h"
#include "framework/textdocument.h"
#include "framework/textprinting.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QPlainTextEdit>

#include <memory>
#include <string>

class QMimeData;

namespace zento {

class EditView : public QPlainTextEdit, public CommandTarget {
    Q_OBJECT
public:
    explicit EditView(QWidget* parent = nullptr);
    ~EditView() override;

    // A view starts with a text of its own. Once it shows another text (which other views may
    // show too), it keeps that text until it is destroyed: the text must outlive the view.
    TextDocument* textDocument() const { return m_text; }
    void setTextDocument(TextDocument* text);

    QByteArray textBytes() const { return m_text->textBytes(); }
    void setTextBytes(QByteArrayView bytes) { m_text->loadBytes(bytes); }
    void replaceTextBytes(std::string bytes) { m_text->replaceBytes(std::move(bytes)); }

    // Printing, through the shared settings of printing (a view without them uses its own).
    void setPrinting(TextPrinting* printing) { m_printing = printing; }
    TextPrinting& printing();
    bool printText(PrintJob job); // what the three print commands call
    // The same with other settings, e.g. a printer named for one print.
    bool printText(PrintJob job, TextPrinting& printing);
    void OnFilePrint() { printText(PrintJob::Dialog); }
    void OnFilePrintDirect() { printText(PrintJob::Direct); }
    void OnFilePrintPreview() { printText(PrintJob::Preview); }

protected:
    // The name a print job carries.
    virtual QString printDocumentName() const;
    void insertFromMimeData(const QMimeData* source) override;
    // Local files dragged here are for the main window to open, not text to insert.
    void dragEnterEvent(QDragEnterEvent* event) override;

private:
    void showText(TextDocument* text);
    bool canUndo() const;
    bool canCut() const;
    bool canCopy() const;
    bool canPasteHere() const;

    TextDocument* m_text = nullptr;
    std::unique_ptr<TextDocument> m_ownText;
    TextPrinting* m_printing = nullptr;
    std::unique_ptr<TextPrinting> m_ownPrinting;
};

} // namespace zento
