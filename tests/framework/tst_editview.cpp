// The edit view: the bytes put in come back unchanged, whatever their code page and line ends,
// and edited text keeps the file's line ends and code page; wrapping (and its guard against
// giant tokens), what counts as an edit, the editing commands, and printing through the one
// print function.
#include "framework/commands.h"
#include "framework/editview.h"
#include "framework/textcodec.h"
#include "framework/textprinting.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <algorithm>
#include <optional>

using namespace zento;

Q_DECLARE_METATYPE(zento::PrintJob)
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
    return int(pdf.count("/Type /Page")) - int(pdf.count("/Type /Pages"));
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
        row("empty lines", "\r\n\r\n");
        row("UTF-8 names", "A\xC3\xB1o\tPeso\xC2\xB2\r\n");
        row("byte-order mark", "\xEF\xBB\xBFmodel\n");
        row("NUL and controls", QByteArray("a\0b\x01\x1F\f\v\r\n", 9));
        row("single-byte names", "A\xF1o\tPeso\xB2\r\n");
        QByteArray everyByte;
        for (int b = 0; b < 256; ++b)
            everyByte += b == '\r' || b == '\n' ? QByteArray() : QByteArray(1, char(b));
        row("every byte but CR and LF", everyByte);
        row("overlong UTF-8 is not UTF-8", "\xC0\xAF\n");
        row("encoded surrogate is not UTF-8", "\xED\xA0\x80");
        // Kept exactly until edited; then every line end follows the first one.
        row("mixed line ends", "a\r\nb\nc\rd", "a\r\nb\r\nc\r\nd");
        row("LF first", "a\nb\r\n", "a\nb\n");
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

    // Any piece size gives the text and the findings of one whole decoding; every piece but the
    // last ends after a line end, so no CR LF and no character is cut.
    void piecesAgree_data() { roundTrips_data(); }
    void piecesAgree() {
        QFETCH(QByteArray, bytes);
        const DecodedText whole = decodeText(bytes);
        for (const qsizetype pieceBytes : {1, 2, 3, 7}) {
            QStringList pieces;
            const DecodedText inPieces = decodeTextInPieces(
                bytes, pieceBytes, [&pieces](QString piece) { pieces.append(piece); });
            QCOMPARE(pieces.join(QString()), whole.text);
            QCOMPARE(inPieces.format, whole.format);
            QCOMPARE(inPieces.exact, whole.exact);
            for (qsizetype i = 0; i + 1 < pieces.size(); ++i)
                QVERIFY(pieces[i].endsWith(u'\n'));
        }
    }

    // A text of several pieces goes into the view whole: every line, the bytes back, no edit,
    // no undo, shown from its start however far down the text before it was. The odd line end
    // sits in a later piece.
    void bigText_data() {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::addColumn<QByteArray>("odd");
        QTest::newRow("CR LF") << QByteArray("\r\n") << QByteArray("\r\n");
        QTest::newRow("one LF among CR LF") << QByteArray("\r\n") << QByteArray("\n");
    }
    void bigText() {
        QFETCH(QByteArray, lineEnd);
        QFETCH(QByteArray, odd);
        QByteArray bytes;
        const int count = 50000; // about 2.5 MiB, past two piece boundaries
        for (int i = 0; i < count; ++i)
            bytes += QByteArray(40, 'x') + QByteArray::number(i) + (i == count - 7 ? odd : lineEnd);
        EditView view;
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setTextBytes(lines(2000));
        view.moveCursor(QTextCursor::End);
        QTest::keyClicks(&view, QStringLiteral("x"));
        QVERIFY(view.verticalScrollBar()->value() > 0);
        QSignalSpy edited(&view, &EditView::textEdited);
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
    void shownAndTyped_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("UTF-8") << QByteArray("A\xC3\xB1o \xE2\x82\xAC") << QStringLiteral("Año €")
                               << QStringLiteral("é")
                               << QByteArray("A\xC3\xB1o \xE2\x82\xAC\r\n\xC3\xA9");
        QTest::newRow("Windows-1252") << QByteArray("A\xF1o \x80\n") << QStringLiteral("Año €\n")
                                      << QStringLiteral("é") << QByteArray("A\xF1o \x80\n\n\xE9");
        QTest::newRow("undefined bytes")
            << QByteArray("\x81\x8D\x8F\x90\x9D\r")
            << QStringLiteral("\u0081\u008D\u008F\u0090\u009D\n") << QStringLiteral("c")
            << QByteArray("\x81\x8D\x8F\x90\x9D\r\rc");
        QTest::newRow("beyond the code page")
            << QByteArray("\xF1") << QStringLiteral("ñ") << QStringLiteral("\u0142")
            << QByteArray("\xC3\xB1\r\n\xC5\x82");
    }
    void shownAndTyped() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        EditView view;
        view.setTextBytes(bytes);
        QCOMPARE(view.toPlainText(), shown);
        view.moveCursor(QTextCursor::End);
        QTest::keyClick(&view, Qt::Key_Return);
        view.insertPlainText(typed);
        QCOMPARE(view.textBytes(), saved);
    }
    // Long lines wrap on screen only, at word boundaries; a run of thousands of characters with
    // no blank (a no-break space is none) wraps anywhere, or word wrapping would freeze the
    // window. The text keeps its lines whole.
    void wraps_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QTextOption::WrapMode>("mode");
        const auto words = QTextOption::WrapAtWordBoundaryOrAnywhere;
        const QByteArray line = QByteArray("palabra ").repeated(200);
        QTest::newRow("words") << line << QString() << words;
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
        view.setTextBytes("x\r\n" + text + "\r\nfin");
        QApplication::clipboard()->setText(pasted);
        if (!pasted.isEmpty())
            QVERIFY(view.onCommand(ID_EDIT_PASTE));
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.wordWrapMode(), mode);
        QCOMPARE(view.document()->blockCount(), 3);
        QVERIFY(view.document()->findBlockByNumber(1).layout()->lineCount() > 1);
        view.setTextBytes(lines(3)); // words again
        QCOMPARE(view.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    }

    // The editing commands act on the selection and the clipboard; each counts as an edit, but
    // replacing the whole text does not and starts a new undo history.
    void editingCommands() {
        EditView view;
        QSignalSpy edited(&view, &EditView::textEdited);
        QApplication::clipboard()->clear();
        view.setTextBytes("uno dos");
        for (const int id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) {
            QVERIFY2(view.commandState(id).handled, QByteArray::number(id));
            QVERIFY2(!view.commandState(id).enabled, QByteArray::number(id));
        }
        QVERIFY(!view.commandState(ID_FILE_PRINT).handled);
        QVERIFY(!view.onCommand(ID_APP_ABOUT));

        QTextCursor cursor = view.textCursor();
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        view.setTextCursor(cursor);
        QVERIFY(view.commandState(ID_EDIT_COPY).enabled);
        QVERIFY(view.onCommand(ID_EDIT_CUT));
        QCOMPARE(view.textBytes(), "dos");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("uno "));
        QVERIFY(view.commandState(ID_EDIT_UNDO).enabled);
        view.moveCursor(QTextCursor::End);
        QVERIFY(view.onCommand(ID_EDIT_PASTE));
        QCOMPARE(view.textBytes(), "dosuno ");
        QVERIFY(view.onCommand(ID_EDIT_UNDO));
        QCOMPARE(view.textBytes(), "dos");
        QTest::keyClicks(&view, QStringLiteral("ab"));
        QCOMPARE(edited.count(), 5);

        view.takeTextBytes("otro");
        QCOMPARE(edited.count(), 5);
        QVERIFY(!view.commandState(ID_EDIT_UNDO).enabled);
    }

    // Direct printing asks nothing; the print dialog decides; the preview shows the pages; a
    // printer that is not there prints nothing and the user is told. A long text takes several
    // pages.
    void print_data() {
        QTest::addColumn<PrintJob>("job");
        QTest::addColumn<int>("answer"); // of the dialog shown
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("pages"); // 2: several
        QTest::addColumn<QByteArray>("shown");
        const int yes = QDialog::Accepted;
        const int no = QDialog::Rejected;
        QTest::newRow("direct, long") << PrintJob::Direct << yes << 400 << 2 << QByteArray();
        QTest::newRow("dialog") << PrintJob::Dialog << yes << 3 << 1 << QByteArray("QPrintDialog");
        QTest::newRow("dialog cancelled")
            << PrintJob::Dialog << no << 3 << 0 << QByteArray("QPrintDialog");
        QTest::newRow("preview") << PrintJob::Preview << no << 400 << 2
                                 << QByteArray("QPrintPreviewDialog");
        QTest::newRow("missing printer")
            << PrintJob::Direct << yes << 3 << 0 << QByteArray("QMessageBox");
    }
    void print() {
        QFETCH(PrintJob, job);
        QFETCH(int, answer);
        QFETCH(int, lines);
        QFETCH(int, pages);
        QFETCH(QByteArray, shown);
        QTemporaryDir dir;
        TextPrinting printing;
        QByteArray modals;
        int previewPages = 0;
        printing.setModalRunner([&](QDialog& modal) {
            modals += modal.metaObject()->className();
            if (auto* preview = modal.findChild<QPrintPreviewWidget*>()) {
                preview->updatePreview();
                previewPages = preview->pageCount();
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
        view.setTextBytes(::lines(lines));
        QCOMPARE(view.printText(job), pages > 0);
        if (auto* message = view.findChild<QMessageBox*>()) {
            modals += "QMessageBox";
            QCOMPARE(message->text(), "No se puede imprimir: la impresora no está disponible.");
        }
        QCOMPARE(modals, shown);
        QCOMPARE(std::min(job == PrintJob::Preview ? previewPages : pdfPages(pdf), 2), pages);
    }
};

QTEST_MAIN(TestEditView)
#include "tst_editview.moc"
