// The edit view: wrapping, what counts as an edit, the editing commands, and printing through
// the one print function.
#include "framework/commands.h"
#include "framework/editview.h"
#include "framework/textprinting.h"

#include "../common/tempdir.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>

using namespace zento;
using zento::testing::ReadFile;
using zento::testing::TempDir;

namespace {

// The pages of a PDF file as Qt writes it: one "/Type /Page" object per page.
int pdfPages(const std::string& pdf) {
    int pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos;
         at = pdf.find("/Type /Page", at + 1)) {
        if (pdf.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    }
    return pages;
}

QByteArray lines(int count) {
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "linea " + QByteArray::number(i) + "\r\n";
    return text;
}

} // namespace

class TestEditView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Long lines wrap on screen only; the text keeps them whole.
    void wrapsWithoutBreakingLines() {
        EditView view;
        QCOMPARE(view.lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        const QByteArray longLine = QByteArray("palabra ").repeated(200) + "\r\nfin";
        view.setTextBytes(longLine);
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.document()->blockCount(), 2);
        QVERIFY(view.document()->firstBlock().layout()->lineCount() > 1);
        QCOMPARE(view.textBytes(), longLine);
    }

    void onlyTheUserEdits() {
        EditView view;
        QSignalSpy edited(&view, &EditView::textEdited);
        view.setTextBytes("texto\r\n");
        QCOMPARE(edited.count(), 0);
        QVERIFY(!view.document()->isUndoAvailable());
        QTest::keyClicks(&view, QStringLiteral("ab"));
        QCOMPARE(edited.count(), 2);
        QVERIFY(view.document()->isUndoAvailable());
        view.takeTextBytes("otro");
        QCOMPARE(edited.count(), 2);
        QCOMPARE(view.textBytes(), "otro");
        view.onCommand(ID_EDIT_UNDO); // nothing to undo: the replacement starts a new history
        QCOMPARE(view.textBytes(), "otro");
    }

    void editingCommands() {
        EditView view;
        QApplication::clipboard()->clear();
        view.setTextBytes("uno dos");
        for (const int id : {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) {
            QVERIFY2(view.commandState(id).handled, QByteArray::number(id));
            QVERIFY2(!view.commandState(id).enabled, QByteArray::number(id));
        }
        QVERIFY(!view.commandState(ID_FILE_PRINT).handled);
        QVERIFY(!view.onCommand(ID_APP_ABOUT));

        QTextCursor cursor = view.textCursor();
        cursor.setPosition(0);
        cursor.setPosition(4, QTextCursor::KeepAnchor);
        view.setTextCursor(cursor);
        QVERIFY(view.commandState(ID_EDIT_COPY).enabled);
        QVERIFY(view.onCommand(ID_EDIT_CUT));
        QCOMPARE(view.textBytes(), "dos");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("uno "));
        QVERIFY(view.commandState(ID_EDIT_PASTE).enabled);
        QVERIFY(view.commandState(ID_EDIT_UNDO).enabled);
        view.moveCursor(QTextCursor::End);
        QVERIFY(view.onCommand(ID_EDIT_PASTE));
        QCOMPARE(view.textBytes(), "dosuno ");
        QVERIFY(view.onCommand(ID_EDIT_UNDO));
        QCOMPARE(view.textBytes(), "dos");
    }

    // Direct printing uses the current printer with no dialog; a long text takes several pages.
    void printsToPdf_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("severalPages");
        QTest::newRow("short") << QByteArray("model\r\n{\r\n}") << false;
        QTest::newRow("long") << lines(400) << true;
    }
    void printsToPdf() {
        QFETCH(QByteArray, text);
        QFETCH(bool, severalPages);
        TempDir dir;
        TextPrinting printing;
        printing.setModalRunner([](QDialog&) -> int {
            QTest::qFail("a dialog was shown", __FILE__, __LINE__);
            return QDialog::Rejected;
        });
        const std::string pdf = dir.File("texto.pdf");
        printing.printer().setOutputFileName(QString::fromStdString(pdf));
        EditView view;
        view.setPrinting(&printing);
        view.setTextBytes(text);
        view.OnFilePrintDirect();
        const int pages = pdfPages(ReadFile(pdf));
        QVERIFY(pages >= 1);
        QCOMPARE(pages > 1, severalPages);
    }

    void printDialogDecides_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("accepted") << int(QDialog::Accepted);
        QTest::newRow("cancelled") << int(QDialog::Rejected);
    }
    void printDialogDecides() {
        QFETCH(int, answer);
        TempDir dir;
        TextPrinting printing;
        bool asked = false;
        printing.setModalRunner([&](QDialog& dialog) {
            asked = qobject_cast<QPrintDialog*>(&dialog) != nullptr;
            return answer;
        });
        const std::string pdf = dir.File("texto.pdf");
        printing.printer().setOutputFileName(QString::fromStdString(pdf));
        EditView view;
        view.setPrinting(&printing);
        view.setTextBytes(lines(3));
        QCOMPARE(view.printText(PrintJob::Dialog), answer == QDialog::Accepted);
        QVERIFY(asked);
        QCOMPARE(ReadFile(pdf).empty(), answer != QDialog::Accepted);
    }

    void previewShowsThePages() {
        TextPrinting printing;
        int previewPages = 0;
        printing.setModalRunner([&](QDialog& dialog) {
            auto* preview = dialog.findChild<QPrintPreviewWidget*>();
            if (qobject_cast<QPrintPreviewDialog*>(&dialog) && preview) {
                preview->updatePreview();
                previewPages = preview->pageCount();
            }
            return int(QDialog::Rejected);
        });
        EditView view;
        view.setPrinting(&printing);
        view.setTextBytes(lines(400));
        QVERIFY(view.printText(PrintJob::Preview));
        QVERIFY(previewPages > 1);
    }

    // A printer that is not there: nothing is printed, and the user is told.
    void missingPrinterIsReported() {
        TextPrinting printing;
        printing.printer().setPrinterName(QStringLiteral("zento-no-existe"));
        EditView view;
        view.setPrinting(&printing);
        QVERIFY(!view.printText(PrintJob::Direct));
        auto* message = view.findChild<QMessageBox*>();
        QVERIFY(message);
        QCOMPARE(message->text(),
                 QStringLiteral("No se puede imprimir: la impresora no está disponible."));
    }
};

QTEST_MAIN(TestEditView)
#include "tst_editview.moc"
