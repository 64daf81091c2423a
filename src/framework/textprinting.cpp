// Printing through one function.
#include "framework/textprinting.h"

#include "framework/messages.h"

#include <QDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

namespace zento {

TextPrinting::TextPrinting()
    : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_runModal([](QDialog& dialog) { return dialog.exec(); }) {}

TextPrinting::~TextPrinting() = default;

QPrinter& TextPrinting::printer() {
    return *m_printer;
}

bool TextPrinting::print(QWidget* parent, PrintJob job, const QString& documentName,
                         const PrintRenderer& render) {
    m_printer->setDocName(documentName);
    switch (job) {
    case PrintJob::Dialog: {
        QPrintDialog dialog(m_printer.get(), parent);
        if (m_runModal(dialog) != QDialog::Accepted)
            return false;
        break;
    }
    case PrintJob::Preview: {
        QPrintPreviewDialog dialog(m_printer.get(), parent);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&render](QPrinter* printer) { render(printer); });
        m_runModal(dialog);
        return true;
    }
    case PrintJob::Direct:
        break;
    }
    if (!hasOutput()) {
        // On the top window, which outlives a document opened only to be printed.
        showWarning(parent ? parent->window() : nullptr,
                    QStringLiteral("No se puede imprimir: la impresora no está disponible."));
        return false;
    }
    render(m_printer.get());
    return true;
}

bool TextPrinting::hasOutput() const {
    // Without the printer asked for (or any), QPrinter falls back on writing a PDF file, which
    // prints nothing while no file is named.
    if (m_printer->outputFormat() == QPrinter::PdfFormat)
        return !m_printer->outputFileName().isEmpty();
    return m_printer->isValid();
}

bool TextPrinting::setup(QWidget* parent) {
    QPageSetupDialog dialog(m_printer.get(), parent);
    return m_runModal(dialog) == QDialog::Accepted;
}

void TextPrinting::setModalRunner(ModalRunner runner) {
    m_runModal = std::move(runner);
}

} // namespace zento
