// The edit view's routing table and generating commands, with the selection dialog driven
// through its seam: each command puts exactly its builder's bytes into the view, and a command
// that does not get that far leaves the view as it was.
#include "dialogs/selectiondialog.h"
#include "docview/zentodoc.h"
#include "docview/zentoview.h"
#include "framework/commands.h"
#include "framework/exchangedialog.h"
#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include "../common/tempdir.h"

#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QStandardPaths>
#include <QTest>

#include <functional>
#include <optional>

using namespace zento;
using zento::testing::ReadFile;
using zento::testing::TempDir;

namespace {

QString testFile(const char* name) {
    return QStringLiteral(ZENTO_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

const int kGenerating[] = {
    ID_DATA_GENERAR,           ID_MODELOS_LOGIT,
    ID_MODELOS_PROBIT,         ID_MODELOS_CLOGLOG,
    ID_MODELOS_POWERLOGIT,     ID_MODELOS_SCOBIT,
    ID_MODELOS_SKEWLOGIT,      ID_MODELOS_SKEWPROBIT_CDS,
    ID_MODELOS_SKEWPROBIT_BBB, ID_MODELOS_SKEWPROBIT_STANDARD,
};

// The builder that the command calls, as the core gives it.
Result<std::string> expectedText(int id, const DataSelection& selection) {
    if (id == ID_DATA_GENERAR)
        return BuildRectangularData(selection);
    Result<ModelNames> names = ReadModelNames(selection.path, selection.chosenVariables);
    if (!names)
        return names.error();
    const LinkInfo& link = Links()[std::size_t(id - ID_MODELOS_LOGIT)];
    return link.build(*names, selection);
}

// What the user does in the selection dialog.
struct UserRun {
    std::optional<QString> pick;                // the file "Incluir Datos..." picks, if any
    std::function<void(SelectionDialog&)> then; // before the dialog closes
    bool accept = true;
};

// A document with one view whose selection dialogs follow run; the selection the dialog
// yielded is kept.
struct Fixture {
    CZENTODoc document;
    CZENTOView view;
    DataSelection selection;
    int dialogs = 0;

    explicit Fixture(UserRun run = {}) {
        view.attachDocument(&document);
        view.setSelectionRunner([this, run](SelectionDialog& dialog) {
            ++dialogs;
            QCOMPARE(dialog.parentWidget(), &view);
            dialog.setFilePicker([run](QWidget*) { return run.pick; });
            dialog.open();
            if (run.pick)
                dialog.OnIncluirDatos();
            if (run.then)
                run.then(dialog);
            if (run.accept)
                dialog.accept();
            else
                dialog.reject();
            selection = dialog.selection();
        });
    }

    QMessageBox* message() const { return view.findChild<QMessageBox*>(); }
};

UserRun picks(const QString& file) {
    return {file, {}, true};
}

} // namespace

class TestZentoView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void routingTable() {
        const QList<int> expected = {ID_DATA_GENERAR,
                                     ID_MODELOS_LOGIT,
                                     ID_MODELOS_PROBIT,
                                     ID_MODELOS_CLOGLOG,
                                     ID_MODELOS_POWERLOGIT,
                                     ID_MODELOS_SCOBIT,
                                     ID_MODELOS_SKEWLOGIT,
                                     ID_MODELOS_SKEWPROBIT_CDS,
                                     ID_MODELOS_SKEWPROBIT_BBB,
                                     ID_MODELOS_SKEWPROBIT_STANDARD,
                                     ID_FILE_PRINT,
                                     ID_FILE_PRINT_DIRECT,
                                     ID_FILE_PRINT_PREVIEW};
        QCOMPARE(CZENTOView::routedCommands(), expected);
        CZENTODoc document;
        document.SetTitle(QStringLiteral("Texto1"));
        CZENTOView view;
        view.attachDocument(&document);
        for (const int id : expected)
            QVERIFY(view.commandState(id).enabled);
        QVERIFY(view.commandState(ID_EDIT_PASTE).handled); // the edit view's own
        QVERIFY(!view.commandState(ID_FILE_SAVE).handled); // the document's
        QVERIFY(!view.onCommand(ID_FILE_SAVE));

        // The print request reaches the printer, under the document's title.
        TempDir dir;
        const std::string pdf = dir.File("texto.pdf");
        view.printing().printer().setOutputFileName(QString::fromStdString(pdf));
        QVERIFY(view.onCommand(ID_FILE_PRINT_DIRECT));
        QVERIFY(ReadFile(pdf).starts_with("%PDF"));
        QCOMPARE(view.printing().printer().docName(), QStringLiteral("Texto1"));
    }

    // Each command: exactly its builder's bytes, 8-bit names and CR LF included; the document
    // stays unmodified.
    void eachCommandPutsItsText_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("file");
        for (const int id : kGenerating) {
            const QByteArray name = findCommand(id)->name;
            QTest::newRow(name + " latin1") << id << testFile("doc_latin1.txt");
            QTest::newRow(name + " utf8") << id << testFile("doc_utf8.txt");
        }
    }
    void eachCommandPutsItsText() {
        QFETCH(int, id);
        QFETCH(QString, file);
        Fixture f(picks(file));
        f.view.setTextBytes("texto anterior\r\n");
        QVERIFY(f.view.onCommand(id));
        QCOMPARE(f.dialogs, 1);
        QVERIFY(!f.selection.path.empty());
        const Result<std::string> expected = expectedText(id, f.selection);
        QVERIFY(expected);
        QCOMPARE(f.view.textBytes(), QByteArray::fromStdString(*expected));
        QVERIFY(f.view.toPlainText().contains(file.endsWith("latin1.txt") ? "Años" : "Año"));
        QVERIFY(!f.document.IsModified());
        QVERIFY(!f.message());
    }

    void secondCommandReplacesTheFirst() {
        Fixture f(picks(testFile("doc_latin1.txt")));
        f.view.OnSkewLogit();
        f.view.OnGenerarDatos();
        QCOMPARE(f.view.textBytes(), QByteArray::fromStdString(*BuildRectangularData(f.selection)));
    }

    // Cancelled dialogs and runs without a file change nothing: not the text, not the undo
    // history, not the modified flag, and nothing is said.
    void nothingWithoutAConfirmedFile_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("pick");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("edited");
        for (const int id : {int(ID_DATA_GENERAR), int(ID_MODELOS_SCOBIT)}) {
            const QByteArray name = findCommand(id)->name;
            QTest::newRow(name + " cancelled after a pick") << id << true << false << true;
            QTest::newRow(name + " cancelled, new document") << id << true << false << false;
            QTest::newRow(name + " cancelled without a file") << id << false << false << true;
            QTest::newRow(name + " accepted without a file") << id << false << true << true;
            QTest::newRow(name + " accepted without a file, new document")
                << id << false << true << false;
        }
    }
    void nothingWithoutAConfirmedFile() {
        QFETCH(int, id);
        QFETCH(bool, pick);
        QFETCH(bool, accept);
        QFETCH(bool, edited);
        UserRun run;
        if (pick)
            run.pick = testFile("doc_latin1.txt");
        run.accept = accept;
        Fixture f(run);
        f.view.setTextBytes("a\r\nb\r\nc");
        if (edited) {
            QTest::keyClicks(&f.view, QStringLiteral("xy"));
            QVERIFY(f.document.IsModified());
        }
        const QByteArray before = f.view.textBytes();
        QVERIFY(f.view.onCommand(id));
        QCOMPARE(f.dialogs, 1);
        QCOMPARE(f.selection.path.empty(), !pick);
        QCOMPARE(f.view.textBytes(), before);
        QCOMPARE(f.view.document()->isUndoAvailable(), edited);
        QCOMPARE(f.document.IsModified(), edited);
        QVERIFY(!f.message());
        if (edited) {
            f.view.undo();
            QCOMPARE(f.view.textBytes(), "a\r\nb\r\nc");
        }
    }

    // The core refuses (empty file, too few tokens, a file gone since the dialog counted it):
    // its Spanish sentence is shown and the view keeps its text.
    void refusalChangesNothing_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("variables"); // typed over the proposed numbers, if not empty
        QTest::addColumn<QString>("cases");
        QTest::addColumn<bool>("removeFile");
        const QString empty = testFile("dlg_vacio.txt");
        const QString latin1 = testFile("doc_latin1.txt");
        QTest::newRow("data, empty file") << int(ID_DATA_GENERAR) << empty << ""
                                          << "" << false;
        QTest::newRow("logit, empty file") << int(ID_MODELOS_LOGIT) << empty << ""
                                           << "" << false;
        QTest::newRow("data, more cases than the file") << int(ID_DATA_GENERAR) << latin1 << ""
                                                        << "40" << false;
        QTest::newRow("CDS, more names than the file")
            << int(ID_MODELOS_SKEWPROBIT_CDS) << latin1 << "99"
            << "" << false;
        QTest::newRow("data, file removed after the count") << int(ID_DATA_GENERAR) << latin1 << ""
                                                            << "" << true;
        QTest::newRow("probit, file removed after the count")
            << int(ID_MODELOS_PROBIT) << latin1 << ""
            << "" << true;
    }
    void refusalChangesNothing() {
        QFETCH(int, id);
        QFETCH(QString, file);
        QFETCH(QString, variables);
        QFETCH(QString, cases);
        QFETCH(bool, removeFile);
        TempDir dir;
        const QString copy = QString::fromStdString(dir.File("datos.txt"));
        QVERIFY(QFile::copy(file, copy));
        UserRun run{copy, [&](SelectionDialog& dialog) {
                        const SelectionLayout& ids =
                            id == ID_DATA_GENERAR ? kCargarDatosLayout : kCargarModelosLayout;
                        if (!variables.isEmpty())
                            dialog.box(ids.chosenVariablesBox)->setText(variables);
                        if (!cases.isEmpty())
                            dialog.box(ids.chosenCasesBox)->setText(cases);
                        if (removeFile)
                            QFile::remove(copy);
                    }};
        Fixture f(run);
        f.view.setTextBytes("anterior\r\n");
        QTest::keyClicks(&f.view, QStringLiteral("z"));
        const QByteArray before = f.view.textBytes();

        f.view.onCommand(id);
        const Result<std::string> expected = expectedText(id, f.selection);
        QVERIFY(!expected);
        QCOMPARE(f.view.textBytes(), before);
        QVERIFY(f.view.document()->isUndoAvailable());
        QVERIFY(f.document.IsModified());
        QMessageBox* message = f.message();
        QVERIFY(message);
        QCOMPARE(message->text(), QString::fromStdString(DescribeDataError(expected.error())));
        if (removeFile)
            QVERIFY(message->text().startsWith("No se puede leer el archivo"));
    }

    // A text of some megabytes goes through the worker and into the view whole.
    void bigFile() {
        TempDir dir;
        std::string data = "y\tx1\tx2\tx3\r\n";
        for (int i = 0; i < 100000; ++i)
            data += std::to_string(i % 2) + "\t" + std::to_string(i) + "\t0.25\t-17\r\n";
        const QString path = QString::fromStdString(dir.Write("grande.txt", data));
        Fixture f(picks(path));
        f.view.OnGenerarDatos();
        QCOMPARE(f.selection.chosenCases, 100000);
        const QByteArray text = f.view.textBytes();
        QCOMPARE(text, QByteArray::fromStdString(*BuildRectangularData(f.selection)));
        QCOMPARE(f.view.document()->blockCount(), 100000 + 3);
    }
};

QTEST_MAIN(TestZentoView)
#include "tst_zentoview.moc"
