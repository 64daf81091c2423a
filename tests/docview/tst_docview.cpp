// The document and its edit view in the multiple-document area: every way a generating command
// ends, on friendly and hostile files, with the selection dialog driven through its seam; new,
// open, save and its failures, close with its question, more windows on one document, printing.
#include "dialogs/cargardatos.h"
#include "docview/childframe.h"
#include "docview/documentmanager.h"
#include "docview/zentodoc.h"
#include "docview/zentoview.h"
#include "framework/commands.h"
#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include "../common/tempdir.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QPrinter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace zento;
using zento::testing::ReadFile;
using zento::testing::TempDir;

Q_DECLARE_METATYPE(zento::SaveChanges)

namespace {

constexpr int kGenerating[] = {
    ID_DATA_GENERAR,           ID_MODELOS_LOGIT,
    ID_MODELOS_PROBIT,         ID_MODELOS_CLOGLOG,
    ID_MODELOS_POWERLOGIT,     ID_MODELOS_SCOBIT,
    ID_MODELOS_SKEWLOGIT,      ID_MODELOS_SKEWPROBIT_CDS,
    ID_MODELOS_SKEWPROBIT_BBB, ID_MODELOS_SKEWPROBIT_STANDARD,
};

// The bytes of a data file by kind: "latin1" and "utf8" hold cases with 8-bit names (Año...);
// the others are hostile.
std::string dataFile(const QString& kind) {
    if (kind == "latin1" || kind == "utf8")
        return ReadFile(ZENTO_TEST_DATA_DIR "/doc_" + kind.toStdString() + ".txt");
    if (kind == "binary") {
        std::string bytes(64 << 10, '\0');
        std::uint32_t state = 2024;
        for (char& c : bytes)
            c = static_cast<char>((state = state * 1103515245u + 12345u) >> 23);
        return bytes;
    }
    if (kind == "nul")
        return std::string("y\0a\tx\0\n1\t\0\n0\t\0\0\n", 16);
    if (kind == "giant token")
        return "y\t" + std::string(4 << 20, 'g') + "\n1\t2\n";
    if (kind == "wide header") {
        std::string header = "v0", row = "0 ";
        for (int i = 1; i < 120000; ++i) {
            header += "\tv" + std::to_string(i);
            row += i % 2 ? "1 " : "0 ";
        }
        return header + "\n" + row + "\n" + row + "\n";
    }
    if (kind == "high bytes") {
        std::string names = "y\t";
        for (int c = 0x80; c <= 0xFF; ++c)
            names += static_cast<char>(c);
        return names + "\tz\r\n1\t2\t3\r\n0\t4\t5\r\n";
    }
    if (kind == "short")
        return "y\tx\n1\n";
    return {};
}

QByteArray fileBytes(const QString& path) {
    return QByteArray::fromStdString(ReadFile(path.toStdString()));
}

// What the command's builder makes of the selection: the text, or the refusal.
Result<std::string> builderText(int id, const DataSelection& selection) {
    if (id == ID_DATA_GENERAR)
        return BuildRectangularData(selection);
    const Result<ModelNames> names = ReadModelNames(selection.path, selection.chosenVariables);
    if (!names)
        return names.error();
    return Links()[std::size_t(id - ID_MODELOS_LOGIT)].build(*names, selection);
}

// How a generating command ends: its builder's text in the view, or its refusal shown, or
// nothing at all.
enum Outcome { Text, Refused, Nothing };

// A generating command as the user runs it through the selection dialog.
struct Run {
    int id = ID_DATA_GENERAR;
    const char* kind = "latin1"; // the data file picked; none when empty
    const char* after = "";      // what becomes of it once the dialog has counted it
    const char* variables = "";  // typed over the proposed counts when not empty
    const char* cases = "";
    bool accept = true;
    // For the checks: whether the document was edited before, and how the command ends.
    bool edited = true;
    Outcome outcome = Text;
};

// A manager on a shown area whose questions are answered from queues and recorded.
struct Fixture {
    TempDir dir;
    QMdiArea area;
    DocumentManager manager{&area};
    std::deque<SaveChanges> answers;
    QStringList saveNames; // the names typed in the save-as dialog; none left: cancelled
    QStringList openNames;
    QStringList asked;    // titles of the "save changes?" questions
    QStringList proposed; // the names the save-as dialog started from
    QStringList warnings;
    DataSelection selection; // what the last selection dialog yielded

    Fixture() {
        area.resize(800, 600);
        area.show();
        manager.setPrompts({
            [this](QWidget*, const QString& title) {
                asked.append(title);
                if (answers.empty())
                    return QTest::qFail("unexpected question", __FILE__, __LINE__),
                           SaveChanges::Cancel;
                const SaveChanges answer = answers.front();
                answers.pop_front();
                return answer;
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
            const SelectionLayout& ids =
                qobject_cast<CCargarDatos*>(&dialog) ? kCargarDatosLayout : kCargarModelosLayout;
            if (*run.variables)
                dialog.box(ids.chosenVariablesBox)->setText(run.variables);
            if (*run.cases)
                dialog.box(ids.chosenCasesBox)->setText(run.cases);
            changeFile(path, run.after);
            run.accept ? dialog.accept() : dialog.reject();
            selection = dialog.selection();
        });
        manager.onCommand(run.id);
        manager.setSelectionRunner({});
        return builderText(run.id, selection);
    }
    QByteArray generate(const Run& command) {
        return QByteArray::fromStdString(run(command).value());
    }

    void changeFile(const std::string& path, const QString& after) {
        if (after.isEmpty())
            return;
        std::filesystem::remove(path);
        if (after == "folder")
            std::filesystem::create_directory(path);
#ifdef Q_OS_UNIX
        else if (after == "fifo")
            QCOMPARE(::mkfifo(path.c_str(), 0600), 0);
#endif
        else if (after != "removed")
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
    // text, the modified flag as it was; or its Spanish refusal is shown and the text, its undo
    // history and the flag stay. A dialog cancelled or without a file changes nothing, silently.
    void generate_data() {
        QTest::addColumn<Run>("run");
        const auto add = [](const char* what, const Run& run) {
            QTest::addRow("%s, %s", what, findCommand(run.id)->name) << run;
        };
        for (const int id : kGenerating) {
            add("latin1", {.id = id, .edited = false});
            add("utf8, edited", {.id = id, .kind = "utf8"});
        }
        for (const int id : {ID_DATA_GENERAR, ID_MODELOS_SCOBIT}) {
            add("cancelled", {.id = id, .accept = false, .edited = false, .outcome = Nothing});
            add("cancelled, edited", {.id = id, .accept = false, .outcome = Nothing});
            add("cancelled, file gone",
                {.id = id, .after = "removed", .accept = false, .outcome = Nothing});
            add("cancelled without a file",
                {.id = id, .kind = "", .accept = false, .outcome = Nothing});
            add("accepted without a file",
                {.id = id, .kind = "", .edited = false, .outcome = Nothing});
            add("empty file", {.id = id, .kind = "empty", .outcome = Refused});
        }
        add("more cases than the file", {.cases = "40", .outcome = Refused});
        add("more names than the file",
            {.id = ID_MODELOS_SKEWPROBIT_CDS, .variables = "99", .outcome = Refused});
        // Hostile files, and files replaced between the dialog's count and the generation.
        for (const int id : {ID_DATA_GENERAR, ID_MODELOS_LOGIT, ID_MODELOS_SKEWPROBIT_STANDARD}) {
            for (const char* kind : {"binary", "nul", "giant token", "wide header"})
                add(kind, {.id = id, .kind = kind});
        }
        for (const int id : {ID_DATA_GENERAR, ID_MODELOS_PROBIT}) {
            add("binary", {.id = id, .after = "binary"});
            for (const char* after : {"short", "removed", "folder", "fifo"})
                add(after, {.id = id, .after = after, .outcome = Refused});
        }
        // Counts at the ends of the 32-bit range, in every command: the data command never has
        // that many cases, a model never that many names.
        const char* min = "-2147483648";
        const char* max = "2147483647";
        for (const int id : kGenerating) {
            for (const auto& [variables, cases] :
                 {std::pair{min, min}, std::pair{min, max}, std::pair{max, min},
                  std::pair{max, max}, std::pair{"3", max}}) {
                Run run{.id = id, .variables = variables, .cases = cases};
                run.outcome = id == ID_DATA_GENERAR || variables == max ? Refused : Text;
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
        if (run.outcome == Text) {
            QVERIFY(expected);
            QCOMPARE(view->textBytes().size(), qsizetype(expected->size()));
            QVERIFY(view->textBytes() == QByteArrayView(*expected));
            QVERIFY(!message);
            const QString kind = run.kind;
            if ((kind == "latin1" || kind == "utf8") && !*run.after && !*run.variables)
                QVERIFY(view->toPlainText().contains(QStringLiteral("Año"))); // 8-bit names
            return;
        }
        QCOMPARE(view->textBytes(), before);
        QCOMPARE(view->document()->isUndoAvailable(), run.edited);
        QCOMPARE(message != nullptr, run.outcome == Refused);
        if (run.outcome == Refused) {
            QVERIFY(!expected);
            QCOMPARE(message->text(), QString::fromStdString(DescribeDataError(expected.error())));
        }
    }

    void twoCommandsLeaveTheSecondText() {
        Fixture f;
        f.manager.newDocument();
        f.run({.id = ID_MODELOS_SKEWLOGIT});
        const QByteArray second = f.generate({});
        QCOMPARE(f.view()->textBytes(), second);
    }

    // A pasted token of megabytes goes in whole and prints in a blink (word wrapping alone
    // would take hours on it); text with words wraps at their boundaries again.
    void pastedGiantToken() {
        Fixture f;
        f.manager.printing().printer().setOutputFileName(
            QString::fromStdString(f.dir.File("t.pdf")));
        f.manager.newDocument();
        const QString giant(2 << 20, QLatin1Char('g'));
        QGuiApplication::clipboard()->setText(giant);
        f.view()->setTextBytes("a b\r\n");
        QVERIFY(f.manager.onCommand(ID_EDIT_PASTE));
        QCOMPARE(f.view()->toPlainText().size(), giant.size() + 4);
        QCOMPARE(f.view()->wordWrapMode(), QTextOption::WrapAnywhere);
        QVERIFY(f.manager.onCommand(ID_FILE_PRINT_DIRECT));
        QVERIFY(ReadFile(f.dir.File("t.pdf")).starts_with("%PDF"));
        f.view()->setTextBytes("a b\r\n");
        QCOMPARE(f.view()->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
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
        QCOMPARE(document->GetTitle(), QStringLiteral("entrada.txt"));
        QVERIFY(!document->IsModified());
        QFile::remove(path);
        QVERIFY(f.manager.saveDocument(document));
        QCOMPARE(fileBytes(path), bytes);
        QVERIFY(f.warnings.isEmpty() && f.asked.isEmpty());
    }

    // A new document asks for a name, starting from its title, and takes the name, ".txt"
    // added. Cancelling the name writes and changes nothing.
    void saveAsNamesTheDocument() {
        Fixture f;
        CZENTODoc* document = f.manager.newDocument();
        QSignalSpy titles(&f.manager, &DocumentManager::activeTitleChanged);
        QTest::keyClicks(f.view(), QStringLiteral("hola"));
        const QString path = QString::fromStdString(f.dir.File("modelo.txt"));
        f.saveNames.append(path.chopped(4));
        QVERIFY(f.manager.onCommand(ID_FILE_SAVE));
        QCOMPARE(f.proposed, QStringList{"Texto1.txt"});
        QCOMPARE(fileBytes(path), "hola");
        QVERIFY(!document->IsModified());
        QCOMPARE(f.manager.activeFrame()->windowTitle(), QStringLiteral("modelo.txt"));
        QCOMPARE(titles.count(), 1);
        QCOMPARE(titles.at(0).at(0).toString(), QStringLiteral("modelo.txt"));

        QTest::keyClicks(f.view(), QStringLiteral("!"));
        QVERIFY(!f.manager.saveDocumentAs(document));
        QCOMPARE(f.proposed.last(), path);
        QVERIFY(document->IsModified());
        QCOMPARE(fileBytes(path), "hola");
    }

#ifdef Q_OS_UNIX
    // The disk fills half way through a save (a file size limit on this process): in place or
    // under a new name, the old file and the document (text, flag, name) stay as they were and
    // the user is told why in Spanish. With room again, it saves.
    void saveThatFailsHalfWay() {
        Fixture f;
        const QString path = QString::fromStdString(f.dir.Write("doc.txt", "anterior\r\n"));
        CZENTODoc* document = f.manager.openDocument(path);
        f.view()->setTextBytes(QByteArray("y[]\tx1[]\t\r\n1\t0.5\t\r\n").repeated(20000));
        QTest::keyClicks(f.view(), QStringLiteral("z"));
        const QByteArray edited = f.view()->textBytes();
        f.saveNames.append(QString::fromStdString(f.dir.File("nuevo.txt")));
        rlimit unlimited{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
        rlimit limited = unlimited;
        limited.rlim_cur = 16 << 10;
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool saved = f.manager.saveDocument(document);
        const bool savedAs = f.manager.saveDocumentAs(document);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, previous);

        QVERIFY(!saved && !savedAs);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"doc.txt"});
        QCOMPARE(fileBytes(path), "anterior\r\n");
        QVERIFY(document->IsModified());
        QCOMPARE(document->GetPathName(), path);
        QCOMPARE(f.view()->textBytes(), edited);
        QCOMPARE(f.warnings.size(), 2);
        for (const QString& warning : f.warnings) {
            QVERIFY2(warning.startsWith("No se puede guardar el documento") &&
                         warning.contains("el archivo es demasiado grande"),
                     qPrintable(warning));
        }
        QVERIFY(f.manager.saveDocument(document));
        QCOMPARE(fileBytes(path), edited);
        QVERIFY(!document->IsModified());
    }
#endif

    // Closing the last window of a modified document asks whether to save it.
    void closeAsks_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<SaveChanges>("answer");
        QTest::addColumn<bool>("canSave");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("unmodified")
            << false << SaveChanges::Cancel << true << true << QByteArray("old");
        QTest::newRow("save") << true << SaveChanges::Save << true << true << QByteArray("oldx");
        QTest::newRow("don't save")
            << true << SaveChanges::Discard << true << true << QByteArray("old");
        QTest::newRow("cancel") << true << SaveChanges::Cancel << true << false
                                << QByteArray("old");
        QTest::newRow("save fails") << true << SaveChanges::Save << false << false << QByteArray();
    }
    void closeAsks() {
        QFETCH(bool, modified);
        QFETCH(SaveChanges, answer);
        QFETCH(bool, canSave);
        QFETCH(bool, closed);
        QFETCH(QByteArray, file);
        Fixture f;
        const QString path = QString::fromStdString(f.dir.Write("doc.txt", "old"));
        f.manager.openDocument(path);
        if (modified) {
            f.view()->moveCursor(QTextCursor::End);
            QTest::keyClicks(f.view(), QStringLiteral("x"));
            f.answers.push_back(answer);
        }
        if (!canSave)
            std::filesystem::remove_all(f.dir.path());
        f.manager.activeFrame()->close();
        QCOMPARE(f.asked, modified ? QStringList{"doc.txt"} : QStringList());
        QCOMPARE(f.area.subWindowList().size(), closed ? 0 : 1);
        QCOMPARE(f.manager.documentCount(), closed ? 0 : 1);
        QCOMPARE(fileBytes(path), file);
        QCOMPARE(f.warnings.size(), canSave ? 0 : 1);
    }

    // Text typed before generating is replaced, yet the document stays modified: closing asks,
    // and the file saved holds exactly the generated bytes. Reopened and saved again unedited,
    // they do not change, whatever 8-bit names they hold.
    void generateSaveReopen_data() {
        QTest::addColumn<Run>("run");
        for (const char* kind : {"utf8", "latin1", "high bytes", "nul"}) {
            for (const int id : {ID_DATA_GENERAR, ID_MODELOS_SCOBIT})
                QTest::addRow("%s, %s", kind, findCommand(id)->name) << Run{.id = id, .kind = kind};
        }
    }
    void generateSaveReopen() {
        QFETCH(Run, run);
        Fixture f;
        const QString saved = QString::fromStdString(f.dir.File("salida.txt"));
        CZENTODoc* document = f.manager.newDocument();
        QTest::keyClicks(f.view(), QStringLiteral("escrito a mano"));
        const QByteArray text = f.generate(run);
        QCOMPARE(f.view()->textBytes(), text);
        QVERIFY(document->IsModified());
        f.answers.push_back(SaveChanges::Save);
        f.saveNames.append(saved);
        QVERIFY(f.manager.closeDocument(document));
        QCOMPARE(f.asked, QStringList{"Texto1"});
        QCOMPARE(fileBytes(saved), text);

        CZENTODoc* reopened = f.manager.openDocument(saved);
        QVERIFY(reopened);
        QCOMPARE(f.view()->textBytes(), text);
        QFile::remove(saved);
        QVERIFY(f.manager.saveDocument(reopened));
        QCOMPARE(fileBytes(saved), text);
        QVERIFY(f.warnings.isEmpty());
    }

    // A second window has a text of its own; generated text goes to the active window; saving
    // writes the first window's text; only the last window's close asks.
    void secondWindow() {
        Fixture f;
        const QString path = QString::fromStdString(f.dir.Write("doc.txt", "original\r\n"));
        CZENTODoc* document = f.manager.openDocument(path);
        QVERIFY(f.manager.onCommand(ID_WINDOW_NEW));
        const QList<CChildFrame*> windows = f.manager.frames(document);
        QCOMPARE(windows.size(), 2);
        QCOMPARE(windows[0]->windowTitle(), QStringLiteral("doc.txt:1"));
        QCOMPARE(windows[1]->windowTitle(), QStringLiteral("doc.txt:2"));
        QCOMPARE(windows[1]->view()->textBytes(), "original\r\n");

        const QByteArray generated = f.generate({.id = ID_MODELOS_POWERLOGIT});
        QCOMPARE(windows[1]->view()->textBytes(), generated);
        QCOMPARE(windows[0]->view()->textBytes(), "original\r\n");
        windows[0]->view()->moveCursor(QTextCursor::End);
        QTest::keyClicks(windows[0]->view(), QStringLiteral("mas"));
        QVERIFY(f.manager.onCommand(ID_FILE_SAVE));
        QCOMPARE(fileBytes(path), "original\r\nmas");

        QTest::keyClicks(windows[1]->view(), QStringLiteral("z"));
        windows[0]->close();
        QVERIFY(f.asked.isEmpty());
        QCOMPARE(windows[1]->windowTitle(), QStringLiteral("doc.txt"));
        f.answers.push_back(SaveChanges::Save);
        windows[1]->close();
        QCOMPARE(f.asked, QStringList{"doc.txt"});
        QCOMPARE(fileBytes(path), "z" + generated);
    }

    // Through the routing, each print command shows its dialog, or none and prints to the
    // printer (a PDF file here) under the document's title.
    void printCommands_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("print") << int(ID_FILE_PRINT) << "QPrintDialog";
        QTest::newRow("preview") << int(ID_FILE_PRINT_PREVIEW) << "QPrintPreviewDialog";
        QTest::newRow("setup") << int(ID_FILE_PRINT_SETUP) << "QPageSetupDialog";
        QTest::newRow("direct") << int(ID_FILE_PRINT_DIRECT) << "";
    }
    void printCommands() {
        QFETCH(int, id);
        QFETCH(QString, dialog);
        Fixture f;
        const std::string pdf = f.dir.File("texto.pdf");
        QString shown;
        f.manager.printing().setModalRunner([&shown](QDialog& modal) {
            shown = modal.metaObject()->className();
            return int(QDialog::Rejected);
        });
        f.manager.printing().printer().setOutputFileName(QString::fromStdString(pdf));
        f.manager.newDocument();
        f.view()->setTextBytes("model\r\n{\r\n}\r\n");
        QVERIFY(f.manager.onCommand(id));
        QCOMPARE(shown, dialog);
        QCOMPARE(ReadFile(pdf).starts_with("%PDF"), dialog.isEmpty());
        if (dialog.isEmpty())
            QCOMPARE(f.manager.printing().printer().docName(), QStringLiteral("Texto1"));
    }
};

QTEST_MAIN(TestDocView)
#include "tst_docview.moc"
