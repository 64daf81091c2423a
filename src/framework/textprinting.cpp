// Printing through one function.
#include "framework/textprinting.h"

#include "framework/commands.h"
#include "framework/messages.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QToolBar>
#include <QWidget>

namespace zento {

namespace {

// "Cerrar" at the end of the preview's toolbar; Esc closes the preview as well.
void addCloseCommand(QPrintPreviewDialog& preview) {
    auto* bar = preview.findChild<QToolBar*>();
    if (!bar)
        return;
    bar->addSeparator();
    QAction* close = createCommandAction(AFX_IDS_PREVIEW_CLOSE, bar);
    QObject::connect(close, &QAction::triggered, &preview, &QDialog::reject);
    bar->addAction(close);
}

} // namespace

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
        addCloseCommand(dialog);
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
    // The printer, its paper and orientation (under its properties); which pages to print is
    // asked when printing.
    QPrintDialog dialog(m_printer.get(), parent);
    dialog.setWindowTitle(QStringLiteral("Configurar impresora"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("Aceptar"));
    }
    return m_runModal(dialog) == QDialog::Accepted;
}

void TextPrinting::setModalRunner(ModalRunner runner) {
    m_runModal = std::move(runner);
}

} // namespace zento
