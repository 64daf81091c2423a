// Printing a document's text: the print dialog, direct printing, the print preview and the page
// and printer setup all go through one object, which remembers the printer settings between
// prints.
#pragma once

#include <functional>
#include <memory>

class QDialog;
class QPrinter;
class QString;
class QWidget;

namespace zento {

enum class PrintJob {
    Dialog,  // "&Imprimir...": the print dialog, then the text
    Direct,  // the print request: the current printer, no dialog
    Preview, // "&Presentación preliminar"
};

// Paints the whole text onto the printer's pages.
using PrintRenderer = std::function<void(QPrinter* printer)>;

// Runs a dialog modally and returns its result (QDialog::exec unless a test supplies another).
using ModalRunner = std::function<int(QDialog& dialog)>;

class TextPrinting {
public:
    TextPrinting();
    ~TextPrinting();
    TextPrinting(const TextPrinting&) = delete;
    TextPrinting& operator=(const TextPrinting&) = delete;

    // The settings every print uses; "Con&figurar impresora..." and the print dialog change them.
    QPrinter& printer();

    // The one way a text reaches the printer. Returns whether anything was printed (for the
    // preview: whether it was shown).
    bool print(QWidget* parent, PrintJob job, const QString& documentName,
               const PrintRenderer& render);

    // "Con&figurar impresora...": the printer, paper and orientation that later prints and
    // previews use. Returns whether it was accepted.
    bool setup(QWidget* parent);

    void setModalRunner(ModalRunner runner);

    // Whether a print would reach a printer or a file.
    bool hasOutput() const;

private:
    std::unique_ptr<QPrinter> m_printer;
    ModalRunner m_runModal;
};

} // namespace zento
