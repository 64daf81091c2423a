// The document and its edit views in the multiple-document area: every way a generating command
// ends, on friendly and hostile files, with the selection dialog driven through its seam; undo
// after it; open, save and its failures, close with its question, more windows showing one text.
#include "dialogs/cargardatos.h"
#include "docview/childframe.h"
#include "docview/documentmanager.h"
#include "framework/commands.h"
#include "winbugs/rectangulardata.h"

#include "../common/tempdir.h"

#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <filesystem>
#include <optional>

using namespace zento;
using zento::testing::ReadFile;
using zento::testing::TempDir;

namespace {

const LinkInfo* link(Link link) {
    return &GetLinkInfo(link);
}

// The bytes of a data file by kind: "latin1" and "utf8" hold cases with 8-bit names (Año...);
// the others are hostile.
std::string dataFile(const QString& kind) {
    if (kind == "latin1" || kind == "utf8")
        return ReadFile(ZENTO_TEST_DATA_DIR "/doc_" + kind.toStdString() + ".txt");
    if (kind == "nul")
        return std::string("y\0a\tx\0\n1\t\0\n0\t\0\0\n", 16);
    if (kind == "giant token")
        return "y\t" + std::string(4 << 20, 'g') + "\n1\t2\n";
    if (kind == "high bytes") {
        std::string names = "y\t";
        for (int c = 0x80; c <= 0xFF; ++c)
            names += static_cast<char>(c);
        return names + "\tz\r\n1\t2\t3\r\n0\t4\t5\r\n";
    }
    return kind == "short" ? "y\tx\n1\n" : "";
}

QByteArray fileBytes(const QString& path) {
    return QByteArray::fromStdString(ReadFile(path.toStdString()));
}

// How a generating command ends: its builder's text in the view, its refusal shown by the
// command, or by the dialog (which stays open until cancelled), or nothing at all.
enum Outcome { Text, Refused, Kept, Nothing };

// A generating command as the user runs it through the selection dialog.
struct Run {
    const LinkInfo* link = nullptr; // the data command when null
    const char* kind = "latin1";    // the data file picked; none when empty
    const char* after = "";         // what becomes of it once the dialog has counted it
    const char* variables = "";     // typed over the proposed counts when not empty
    const char* cases = "";
    bool accept = true;
    // For the checks: whether the document was edited before, and how the command ends.
    bool edited = true;
    Outcome outcome = Text;
};

// A manager on a shown area whose questions are answered and recorded.
struct Fixture {
    TempDir dir;
    QMdiArea area;
    DocumentManager manager{&area};
    QList<SaveChanges> answers;
    QStringList saveNames; // the names typed in the save-as dialog; none left: cancelled
    QStringList openNames;
    QStringList asked;    // titles of the "save changes?" questions
    QStringList proposed; // the names the save-as dialog started from
    QStringList warnings;
    DataSelection selection; // what the last selection dialog yielded
    QString dialogMessage;   // what it said when "Aceptar" was refused

    Fixture() {
        area.resize(800, 600);
        area.show();
        manager.setPrompts({
            [this](QWidget*, const QString& title) {
                asked.append(title);
                return answers.isEmpty() ? SaveChanges::Cancel : answers.takeFirst();
            },
            [this](QWidget*, const QString& start) -> std::optional<QString> {
                proposed.append(start);
                return saveNames.isEmpty() ? std::nullopt : std::optional(saveNames.takeFirst());
            },
            [this](QWidget*) { return openNames; },
            [this](QWidget*, const QString& message) { warnings.append(message); },
        });
    }

    CZENTOView* view() const { return manager.activeView(); }

    // Runs the command through the routing; returns what its builder makes of the selection
    // the dialog yielded.
    Result<std::string> run(const Run& run) {
        const std::string path = dir.File("datos.txt");
        if (*run.kind)
            dir.Write("datos.txt", dataFile(run.kind));
        manager.setSelectionRunner([&](SelectionDialog& dialog) {
            QCOMPARE(dialog.parentWidget(), view());
            dialog.setFilePicker([&](QWidget*) {
                return *run.kind ? std::optional(QString::fromStdString(path)) : std::nullopt;
            });
            dialog.open();
            dialog.OnIncluirDatos();
            const SelectionLayout& ids = run.link ? kCargarModelosLayout : kCargarDatosLayout;
            if (*run.variables)
                dialog.box(ids.chosenVariablesBox)->setText(run.variables);
            if (*run.cases)
                dialog.box(ids.chosenCasesBox)->setText(run.cases);
            changeFile(path, run.after);
            qDeleteAll(dialog.findChildren<QMessageBox*>()); // a header that looks like CSV
            run.accept ? dialog.accept() : dialog.reject();
            if (const auto* message = dialog.findChild<QMessageBox*>())
                dialogMessage = message->text();
            selection = dialog.selection();
        });
        manager.onCommand(run.link ? run.link->commandId : ID_DATA_GENERAR);
        manager.setSelectionRunner({});
        if (!run.link)
            return BuildRectangularData(selection);
        const Result<ModelNames> names = ReadModelNames(selection.path, selection.chosenVariables);
        return names ? Result<std::string>(run.link->build(*names, selection)) : names.error();
    }
    QByteArray generate(const Run& command) {
        return QByteArray::fromStdString(run(command).value());
    }

    void changeFile(const std::string& path, const QString& after) {
        if (after.isEmpty())
            return;
        std::filesystem::remove(path);
        if (after != "removed")
            dir.Write("datos.txt", dataFile(after));
    }
};

} // namespace

Q_DECLARE_METATYPE(Run)

class TestDocView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Checked against the builder on the dialog's selection: its exact bytes replace the old
    // text, the modified flag as it was; or its Spanish refusal is shown (by the dialog, for
    // counts the file it counted cannot satisfy) and the text, its undo history and the flag
    // stay. A dialog cancelled or without a file changes nothing, silently.
    void generate_data() {
        QTest::addColumn<Run>("run");
        const auto add = [](const char* what, const Run& run) {
            QTest::addRow("%s, %s", what, run.link ? run.link->label.data() : "datos") << run;
        };
        add("latin1", {.edited = false});
        for (const LinkInfo& each : Links())
            add("latin1", {.link = &each, .edited = each.link == Link::Probit});
        for (const LinkInfo* command : {(const LinkInfo*)nullptr, link(Link::Scobit)}) {
            add("utf8, edited", {.link = command, .kind = "utf8"});
            add("cancelled",
                {.link = command, .accept = false, .edited = false, .outcome = Nothing});
            add("cancelled, file gone",
                {.link = command, .after = "removed", .accept = false, .outcome = Nothing});
            add("cancelled without a file",
                {.link = command, .kind = "", .accept = false, .outcome = Nothing});
            add("accepted without a file",
                {.link = command, .kind = "", .edited = false, .outcome = Nothing});
            add("empty file", {.link = command, .kind = "empty", .outcome = Kept});
            for (const char* kind : {"nul", "giant token", "high bytes"})
                add(kind, {.link = command, .kind = kind});
            // Files replaced between the dialog's count and the generation.
            for (const char* after : {"short", "removed"})
                add(after, {.link = command, .after = after, .outcome = Refused});
        }
        add("more cases than the file", {.cases = "40", .outcome = Kept});
        // Counts at the ends of the 32-bit range: the data command never has that many cases, a
        // model never that many names.
        const char* min = "-2147483648";
        const char* max = "2147483647";
        for (const LinkInfo* command : {(const LinkInfo*)nullptr, link(Link::SkewProbitCDS)}) {
            for (const auto& [variables, cases] :
                 {std::pair{min, min}, std::pair{min, max}, std::pair{max, min},
                  std::pair{max, max}, std::pair{"3", max}}) {
                Run run{.link = command, .variables = variables, .cases = cases};
                run.outcome = !command || variables == max ? Kept : Text;
                add(qPrintable(QString("%1 %2").arg(variables, cases)), run);
            }
        }
    }
    void generate() {
        QFETCH(Run, run);
        Fixture f;
        CZENTOView* view = f.manager.newDocument()->firstView();
        view->setTextBytes("anterior\r\n");
        if (run.edited)
            QTest::keyClicks(view, QStringLiteral("z"));
        const QByteArray before = view->textBytes();

        const Result<std::string> expected = f.run(run);
        QCOMPARE(f.selection.path.empty(), !*run.kind);
        QCOMPARE(f.manager.activeDocument()->IsModified(), run.edited);
        const QMessageBox* message = view->findChild<QMessageBox*>();
        QCOMPARE(message != nullptr, run.outcome == Refused);
        QCOMPARE(!f.dialogMessage.isEmpty(), run.outcome == Kept);
        if (run.outcome == Text) {
            QVERIFY(view->textBytes() == QByteArrayView(expected.value()));
            const QString kind = run.kind;
            if ((kind == "latin1" || kind == "utf8") && !*run.variables)
                QVERIFY(view->toPlainText().contains(QStringLiteral("Año"))); // 8-bit names
            return;
        }
        QCOMPARE(view->textBytes(), before);
        QCOMPARE(view->document()->isUndoAvailable(), run.edited);
        if (run.outcome != Nothing)
            QCOMPARE(run.outcome == Kept ? f.dialogMessage : message->text(),
                     QString::fromStdString(DescribeDataError(expected.error())));
    }

    // "Deshacer" after generated texts brings back each text before, one step each; the first
    // undo is an edit of a document that was not modified.
    void undoBringsBackTheTextBefore() {
        Fixture f;
        CZENTODoc* document = f.manager.newDocument();
        f.view()->setTextBytes("a mano\n");
        const QByteArray first = f.generate({});
        const QByteArray second = f.generate({.link = link(Link::SkewLogit)});
        QCOMPARE(f.view()->textBytes(), second);
        QVERIFY(!document->IsModified());
        QVERIFY(f.manager.onCommand(ID_EDIT_UNDO));
        QCOMPARE(f.view()->textBytes(), first);
        QVERIFY(document->IsModified());
        QVERIFY(f.manager.onCommand(ID_EDIT_UNDO));
        QCOMPARE(f.view()->textBytes(), "a mano\n");
        QVERIFY(!f.manager.commandState(ID_EDIT_UNDO).enabled);
    }

    // Opened and saved unedited, a file keeps every byte: single-byte names, mixed line ends,
    // NUL, no line end at the end. Opened again under another spelling, it is the same document.
    void openAndSaveAreByteExact() {
        Fixture f;
        const QByteArray bytes("A\xF1o\tPeso\xB2\r\nb\nc\rd\0e", 18);
        const QString path =
            QString::fromStdString(f.dir.Write("entrada.txt", bytes.toStdString()));
        f.openNames = {path, QString::fromStdString(f.dir.Write("otro.txt", "x"))};
        QCOMPARE(f.manager.openDocuments()->GetTitle(), QStringLiteral("otro.txt"));
        CZENTODoc* document = f.manager.openDocument(QDir(f.dir.path()).filePath("./entrada.txt"));
        QCOMPARE(f.manager.documentCount(), 2);
        QCOMPARE(f.manager.activeDocument(), document);
        QVERIFY(!document->IsModified());
        QFile::remove(path);
        QVERIFY(f.manager.saveDocument(document));
        QCOMPARE(fileBytes(path), bytes);
        QVERIFY(f.warnings.isEmpty() && f.asked.isEmpty());
    }

    // A new document asks for a name, starting from its title in the working directory, and
    // takes the name, ".txt" added. Cancelling the name writes and changes nothing.
    void saveAsNamesTheDocument() {
        Fixture f;
        CZENTODoc* document = f.manager.newDocument();
        QSignalSpy titles(&f.manager, &DocumentManager::activeTitleChanged);
        QTest::keyClicks(f.view(), QStringLiteral("hola"));
        const QString path = QString::fromStdString(f.dir.File("modelo.txt"));
        f.saveNames.append(path.chopped(4));
        QVERIFY(f.manager.onCommand(ID_FILE_SAVE));
        QCOMPARE(f.proposed, QStringList{QDir::current().absoluteFilePath("Texto1.txt")});
        QCOMPARE(fileBytes(path), "hola");
        QVERIFY(!document->IsModified());
        QCOMPARE(f.manager.activeFrame()->windowTitle(), QStringLiteral("modelo.txt"));
        QCOMPARE(titles.value(0).value(0).toString(), QStringLiteral("modelo.txt"));
        QTest::keyClicks(f.view(), QStringLiteral("!"));
        QVERIFY(!f.manager.saveDocumentAs(document));
        QCOMPARE(f.proposed.last(), path);
        QVERIFY(document->IsModified());
        QCOMPARE(fileBytes(path), "hola");
    }

    // Closing the last window of a modified document asks whether to save it; a cancel keeps
    // it open, and so does a failed save, which is reported and leaves the document as it was.
    void closeAsks() {
        const QList<std::tuple<bool, SaveChanges, bool, bool, QByteArray>> table = {
            // modified, answer, can save, closed, the file after
            {false, SaveChanges::Cancel, true, true, "old"},
            {true, SaveChanges::Save, true, true, "oldx"},
            {true, SaveChanges::Discard, true, true, "old"},
            {true, SaveChanges::Cancel, true, false, "old"},
            {true, SaveChanges::Save, false, false, ""},
        };
        for (const auto& [modified, answer, canSave, closed, file] : table) {
            Fixture f;
            const QString path = QString::fromStdString(f.dir.Write("doc.txt", "old"));
            f.manager.openDocument(path);
            f.answers = {answer};
            if (modified) {
                f.view()->moveCursor(QTextCursor::End);
                QTest::keyClicks(f.view(), QStringLiteral("x"));
            }
            if (!canSave)
                std::filesystem::remove_all(f.dir.path());
            f.manager.activeFrame()->close();
            QCOMPARE(f.asked, modified ? QStringList{"doc.txt"} : QStringList());
            QCOMPARE(f.manager.documentCount(), closed ? 0 : 1);
            QCOMPARE(fileBytes(path), file);
            QCOMPARE(f.warnings.size(), canSave ? 0 : 1);
            QCOMPARE(f.manager.documents().value(0) && f.manager.documents()[0]->IsModified(),
                     !closed);
        }
    }

    // Every window of a document shows its one text: a text generated into the second window
    // is what "Guardar" writes, typing in one window shows in the other, the modified flag is
    // the document's; closing one of two windows keeps the document, only the last one asks.
    void windowsShowOneText() {
        Fixture f;
        const QString path = QString::fromStdString(f.dir.Write("doc.txt", "original\r\n"));
        CZENTODoc* document = f.manager.openDocument(path);
        QVERIFY(f.manager.newWindow());
        const QList<CChildFrame*> windows = f.manager.frames(document);
        QCOMPARE(windows[0]->windowTitle(), QStringLiteral("doc.txt:1"));
        QCOMPARE(windows[1]->windowTitle(), QStringLiteral("doc.txt:2"));
        QCOMPARE(windows[1]->view()->textBytes(), "original\r\n");
        const QByteArray generated = f.generate({.link = link(Link::PowerLogit)});
        QCOMPARE(windows[0]->view()->textBytes(), generated);
        QVERIFY(!document->IsModified());
        QVERIFY(f.manager.onCommand(ID_FILE_SAVE));
        QCOMPARE(fileBytes(path), generated);

        windows[0]->view()->moveCursor(QTextCursor::Start);
        QTest::keyClicks(windows[0]->view(), QStringLiteral("mas"));
        QVERIFY(windows[1]->view()->textBytes().startsWith("mas"));
        QVERIFY(document->IsModified());
        windows[0]->close();
        QVERIFY(f.asked.isEmpty());
        QCOMPARE(windows[1]->windowTitle(), QStringLiteral("doc.txt"));
        f.answers = {SaveChanges::Save};
        windows[1]->close();
        QCOMPARE(f.asked, QStringList{"doc.txt"});
        QCOMPARE(fileBytes(path), "mas" + generated);
    }
};

QTEST_MAIN(TestDocView)
#include "tst_docview.moc"
