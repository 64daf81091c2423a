// The edit view and its text: the bytes put in come back unchanged, whatever their code page and
// line ends, and edited text keeps the file's line ends and code page; views that share a text;
// a replacement that undo takes back whole; wrapping (and its guard against giant tokens), what
// counts as an edit, the editing commands, and printing through the one print function.
#include "framework/commands.h"
#include "framework/editview.h"
#include "framework/textcodec.h"
#include "framework/textprinting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QMessageBox>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>

#include <algorithm>
#include <optional>

using namespace zento;

Q_DECLARE_METATYPE(QTextOption::WrapMode)

namespace {

QByteArray lines(int count) {
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "linea " + QByteArray::number(i) + "\r\n";
    return text;
}

// The pages of a PDF file as Qt writes it: one "/Type /Page" object per page.
int pdfPages(const QString& path) {
    QFile file(path);
    const QByteArray pdf = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return int(pdf.count("/Type /Page") - pdf.count("/Type /Pages"));
}

} // namespace

class TestEditView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void roundTrips_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("edited"); // the bytes once the text counts as edited
        const auto row = [](const char* name, const QByteArray& bytes,
                            const std::optional<QByteArray>& edited = std::nullopt) {
            QTest::newRow(name) << bytes << edited.value_or(bytes);
        };
        row("empty", "");
        row("CR LF, none at the end", "model\r\n{\r\n\tp <- 1\r\n}");
        row("LF", "a\nb\n");
        row("CR", "a\rb\r");
        row("UTF-8 names", "A\xC3\xB1o\tPeso\xC2\xB2\r\n");
        row("byte-order mark", "\xEF\xBB\xBFmodel\n");
        row("NUL and controls", QByteArray("a\0b\x01\x1F\f\v\r\n", 9));
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b)
            everyByte += b == '\r' || b == '\n' ? QByteArray() : QByteArray(1, char(b));
        row("every byte but CR and LF", everyByte);
        row("overlong UTF-8 is not UTF-8", "\xC0\xAF\n");
        row("encoded surrogate is not UTF-8", "\xED\xA0\x80");
        // Kept exactly until edited; then every line end follows the first one.
        row("mixed line ends", "a\r\nb\nc\rd", "a\r\nb\r\nc\r\nd");
        row("CR before CR LF", "a\r\r\n", "a\r\r");
        row("mixed, single-byte", "\xE9\n\xE8\r\n", "\xE9\n\xE8\n");
        // Characters the edit control takes for line breaks; U+2028 it keeps.
        row("U+2029", "a\xE2\x80\xA9 b\n", "a\n b\n");
        row("U+FDD0 and U+FDD1", "a\xEF\xB7\x90 b\xEF\xB7\x91", "a\r\n b\r\n");
        row("U+2028", "a\xE2\x80\xA8 b");
    }
    void roundTrips() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, edited);
        EditView view;
        view.setTextBytes(bytes);
        QCOMPARE(view.textBytes(), bytes);
        // Edited without a change: a character typed at the end and taken back.
        QTextCursor cursor(view.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("x"));
        cursor.deletePreviousChar();
        QCOMPARE(view.textBytes(), edited);
    }

    // A text of several pieces, one odd line end in a later piece, goes in whole (no CR LF and
    // no character cut between pieces): every line, the bytes back, no edit, no undo, shown from
    // its start however far down the view was.
    void bigText() {
        QByteArray bytes;
        const int count = 50000; // about 2.5 MiB, past two piece boundaries
        for (int i = 0; i < count; ++i)
            bytes += QByteArray(40, 'x') + (i % 3 ? "\xC3\xB1" : "\xE2\x82\xAC") +
                     (i == count - 7 ? "\n" : "\r\n");
        EditView view;
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setTextBytes(lines(2000));
        view.moveCursor(QTextCursor::End);
        QTest::keyClicks(&view, QStringLiteral("x"));
        QVERIFY(view.verticalScrollBar()->value() > 0);
        QSignalSpy edited(view.textDocument(), &TextDocument::textEdited);
        view.setTextBytes(bytes);
        QCOMPARE(edited.count(), 0);
        QCOMPARE(view.document()->blockCount(), count + 1);
        QVERIFY(!view.document()->isUndoAvailable());
        QCOMPARE(view.textCursor().position(), 0);
        QCOMPARE(view.verticalScrollBar()->value(), 0);
        QCOMPARE(view.textBytes(), bytes);
    }

    // Names show as letters whichever code page the file uses; a line the user adds ends as the
    // file's lines do, in the file's code page, or the whole text turns UTF-8 for a character
    // Windows-1252 lacks.
    void shownAndTyped() {
        const QList<std::tuple<QByteArray, QString, QString, QByteArray>> table = {
            {"A\xC3\xB1o \xE2\x82\xAC", "Año €", "é", "A\xC3\xB1o \xE2\x82\xAC\r\n\xC3\xA9"},
            {"A\xF1o \x80\n", "Año €\n", "é", "A\xF1o \x80\n\n\xE9"},
            {"\x81\x8D\x8F\x90\x9D\r", "\u0081\u008D\u008F\u0090\u009D\n", "c",
             "\x81\x8D\x8F\x90\x9D\r\rc"},
            {"\xF1", "ñ", "\u0142", "\xC3\xB1\r\n\xC5\x82"},
        };
        for (const auto& [bytes, shown, typed, saved] : table) {
            EditView view;
            view.setTextBytes(bytes);
            QCOMPARE(view.toPlainText(), shown);
            view.moveCursor(QTextCursor::End);
            QTest::keyClick(&view, Qt::Key_Return);
            view.insertPlainText(typed);
            QCOMPARE(view.textBytes(), saved);
        }
    }

    // Long lines wrap on screen only, at word boundaries; a run of thousands of characters with
    // no blank (a no-break space is none) wraps anywhere, in every view of the text, or word
    // wrapping would freeze the window. The text keeps its lines whole.
    void wraps_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QTextOption::WrapMode>("mode");
        const QByteArray line = QByteArray("palabra ").repeated(200);
        QTest::newRow("words") << line << QString() << QTextOption::WrapAtWordBoundaryOrAnywhere;
        QTest::newRow("giant token")
            << line + QByteArray(5000, 'g') << QString() << QTextOption::WrapAnywhere;
        QTest::newRow("no-break spaces")
            << QByteArray("a\xC2\xA0").repeated(3000) << QString() << QTextOption::WrapAnywhere;
        QTest::newRow("giant token pasted")
            << line << QString(5000, u'g') << QTextOption::WrapAnywhere;
    }
    void wraps() {
        QFETCH(QByteArray, text);
        QFETCH(QString, pasted);
        QFETCH(QTextOption::WrapMode, mode);
        EditView view;
        EditView other;
        other.setTextDocument(view.textDocument());
        view.setTextBytes("x\r\n" + text + "\r\nfin");
        QApplication::clipboard()->setText(pasted);
        if (!pasted.isEmpty())
            QVERIFY(view.onCommand(ID_EDIT_PASTE));
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.wordWrapMode(), mode);
        QCOMPARE(other.wordWrapMode(), mode);
        QCOMPARE(view.document()->blockCount(), 3);
        QVERIFY(view.document()->findBlockByNumber(1).layout()->lineCount() > 1);
        view.setTextBytes(lines(3)); // words again
        QCOMPARE(other.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    }

    // Views of one text show every change, whichever makes it. A replacement is one step that
    // undo takes back, with the code page and line ends of the text before; a new view of a
    // giant token starts wrapping anywhere.
    void sharedTextAndUndo() {
        EditView first;
        const QByteArray original("A\xF1o\nb\r\n"); // single-byte, mixed line ends
        first.setTextBytes(original);
        EditView second;
        second.setTextDocument(first.textDocument());
        QSignalSpy edited(first.textDocument(), &TextDocument::textEdited);
        first.replaceTextBytes(std::string(5000, 'g') + "\r\n");
        QCOMPARE(edited.count(), 0);
        QCOMPARE(second.toPlainText().size(), 5001);
        EditView third;
        third.setTextDocument(first.textDocument());
        QCOMPARE(third.wordWrapMode(), QTextOption::WrapAnywhere);
        QVERIFY(second.onCommand(ID_EDIT_UNDO));
        QCOMPARE(first.textBytes(), original);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(third.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        QTest::keyClicks(&second, QStringLiteral("z"));
        QVERIFY(first.toPlainText().contains(u'z'));
    }

    // The editing commands act on the selection and the clipboard, and each counts as an edit.
    void editingCommands() {
        EditView view;
        QSignalSpy edited(view.textDocument(), &TextDocument::textEdited);
        QApplication::clipboard()->clear();
        view.setTextBytes("uno dos");
        for (const int id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) {
            QVERIFY2(view.commandState(id).handled, QByteArray::number(id));
            QVERIFY2(!view.commandState(id).enabled, QByteArray::number(id));
        }
        QVERIFY(!view.onCommand(ID_APP_ABOUT));
        QTextCursor cursor = view.textCursor();
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        view.setTextCursor(cursor);
        QVERIFY(view.commandState(ID_EDIT_COPY).enabled);
        QVERIFY(view.onCommand(ID_EDIT_CUT));
        QCOMPARE(view.textBytes(), "dos");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("uno "));
        view.moveCursor(QTextCursor::End);
        QVERIFY(view.onCommand(ID_EDIT_PASTE));
        QCOMPARE(view.textBytes(), "dosuno ");
        QVERIFY(view.onCommand(ID_EDIT_UNDO));
        QCOMPARE(view.textBytes(), "dos");
        QCOMPARE(edited.count(), 3);
    }

    // Direct printing asks nothing; the print dialog decides; the preview shows the pages, and
    // "Cerrar" with its prompt, and Esc closes it; a printer that is not there prints nothing and
    // the user is told. The setup chooses the printer, its paper and orientation.
    void print_data() {
        QTest::addColumn<int>("job"); // a PrintJob, or -1 for the setup
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("pages"); // of 400 lines; 2: several
        QTest::addColumn<QString>("shown");
        const int yes = QDialog::Accepted;
        QTest::newRow("direct") << int(PrintJob::Direct) << yes << 2 << QString();
        QTest::newRow("dialog") << int(PrintJob::Dialog) << yes << 2 << "QPrintDialog";
        QTest::newRow("dialog cancelled") << int(PrintJob::Dialog) << 0 << 0 << "QPrintDialog";
        QTest::newRow("preview") << int(PrintJob::Preview) << 0 << 2
                                 << "QPrintPreviewDialog Cerrar: Cancelar presentación "
                                    "preliminar / Cierra el modo de presentación preliminar";
        QTest::newRow("missing printer") << int(PrintJob::Direct) << yes << 0 << "QMessageBox";
        QTest::newRow("setup") << -1 << 0 << 0 << "QPrintDialog Configurar impresora: Aceptar";
    }
    void print() {
        QFETCH(int, job);
        QFETCH(int, answer);
        QFETCH(int, pages);
        QFETCH(QString, shown);
        QTemporaryDir dir;
        TextPrinting printing;
        QString modals;
        int previewPages = 0;
        printing.setModalRunner([&](QDialog& modal) {
            modals += modal.metaObject()->className();
            if (auto* preview = modal.findChild<QPrintPreviewWidget*>()) {
                preview->updatePreview();
                previewPages = preview->pageCount();
                const QAction* close = modal.findChild<QToolBar*>()->actions().constLast();
                modals +=
                    " " + close->text() + ": " + close->toolTip() + " / " + close->statusTip();
                modal.show();
                QTest::keyClick(&modal, Qt::Key_Escape);
                modals += modal.isVisible() ? " (Esc)" : "";
            } else if (job < 0) {
                modals +=
                    " " + modal.windowTitle() + ": " +
                    modal.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->text();
            }
            return answer;
        });
        const QString pdf = dir.filePath(QStringLiteral("texto.pdf"));
        if (shown == "QMessageBox")
            printing.printer().setPrinterName(QStringLiteral("zento-no-existe"));
        else
            printing.printer().setOutputFileName(pdf);
        EditView view;
        view.setPrinting(&printing);
        view.setTextBytes(lines(400));
        QCOMPARE(job < 0 ? printing.setup(&view) : view.printText(PrintJob(job)), pages > 0);
        if (auto* message = view.findChild<QMessageBox*>()) {
            modals += "QMessageBox";
            QCOMPARE(message->text(), "No se puede imprimir: la impresora no está disponible.");
        }
        QCOMPARE(modals, shown);
        QCOMPARE(std::min(job == int(PrintJob::Preview) ? previewPages : pdfPages(pdf), 2), pages);
    }
};

QTEST_MAIN(TestEditView)
#include "tst_editview.moc"
