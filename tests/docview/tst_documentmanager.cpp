// Documents in the multiple-document area: new, open, save, close with its question, more
// windows on one document, command routing and printing of files.
#include "dialogs/selectiondialog.h"
#include "docview/childframe.h"
#include "docview/documentmanager.h"
#include "docview/zentodoc.h"
#include "docview/zentoview.h"
#include "framework/commands.h"
#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include "../common/tempdir.h"

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QPrinter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <deque>
#include <filesystem>

using namespace zento;
using zento::testing::ReadFile;
using zento::testing::TempDir;

Q_DECLARE_METATYPE(zento::SaveChanges)

namespace {

QString testFile(const char* name) {
    return QStringLiteral(ZENTO_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

QByteArray fileBytes(const QString& path) {
    return QByteArray::fromStdString(ReadFile(path.toStdString()));
}

// A manager on a shown area whose questions are answered from queues and recorded.
struct Fixture {
    QMdiArea area;
    DocumentManager manager{&area};
    std::deque<SaveChanges> answers;
    QStringList saveNames; // the names typed in the save-as dialog; none left: cancelled
    QStringList openNames;
    QStringList asked;    // titles of the "save changes?" questions
    QStringList warnings; // file error messages
    QStringList proposed; // the names the save-as question started from

    Fixture() {
        area.resize(800, 600);
        area.show();
        manager.setPrompts({
            [this](QWidget*, const QString& title) {
                asked.append(title);
                if (answers.empty()) {
                    QTest::qFail("unexpected question", __FILE__, __LINE__);
                    return SaveChanges::Cancel;
                }
                const SaveChanges answer = answers.front();
                answers.pop_front();
                return answer;
            },
            [this](QWidget*, const QString& start) -> std::optional<QString> {
                proposed.append(start);
                if (saveNames.isEmpty())
                    return std::nullopt;
                return saveNames.takeFirst();
            },
            [this](QWidget*) { return openNames; },
            [this](QWidget*, const QString& message) { warnings.append(message); },
        });
        // Every selection dialog picks the file in `dataFile` and is accepted.
        manager.setSelectionRunner([this](SelectionDialog& dialog) {
            dialog.setFilePicker([this](QWidget*) { return std::optional<QString>(dataFile); });
            dialog.open();
            dialog.OnIncluirDatos();
            dialog.accept();
            selection = dialog.selection();
        });
    }

    QString dataFile = testFile("doc_latin1.txt");
    DataSelection selection;

    QByteArray generated(int id) const {
        if (id == ID_DATA_GENERAR)
            return QByteArray::fromStdString(*BuildRectangularData(selection));
        const LinkInfo& link = Links()[std::size_t(id - ID_MODELOS_LOGIT)];
        return QByteArray::fromStdString(
            link.build(*ReadModelNames(selection.path, selection.chosenVariables), selection));
    }
    static void type(CZENTOView* view, const QString& text) { QTest::keyClicks(view, text); }
};

} // namespace

class TestDocumentManager : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void newDocumentsAreNumbered() {
        Fixture f;
        QSignalSpy counts(&f.manager, &DocumentManager::documentCountChanged);
        QSignalSpy active(&f.manager, &DocumentManager::activeDocumentChanged);
        QSignalSpy titles(&f.manager, &DocumentManager::activeTitleChanged);
        CZENTODoc* first = f.manager.newDocument();
        CZENTODoc* second = f.manager.newDocument();
        QCOMPARE(first->GetTitle(), QStringLiteral("Texto1"));
        QCOMPARE(second->GetTitle(), QStringLiteral("Texto2"));
        QVERIFY(!second->IsModified());
        QVERIFY(second->firstView()->textBytes().isEmpty());
        QCOMPARE(f.manager.activeDocument(), second);
        QCOMPARE(f.manager.activeFrame()->windowTitle(), QStringLiteral("Texto2"));
        QCOMPARE(counts.count(), 2);
        QCOMPARE(counts.last().at(0).toInt(), 2);
        QCOMPARE(active.count(), 2);
        QCOMPARE(titles.count(), 2);
        QCOMPARE(titles.last().at(0).toString(), QStringLiteral("Texto2"));

        QVERIFY(f.manager.closeDocument(second));
        QCOMPARE(f.manager.activeDocument(), first);
        QCOMPARE(titles.last().at(0).toString(), QStringLiteral("Texto1"));
        // Numbers are not given out again.
        QCOMPARE(f.manager.newDocument()->GetTitle(), QStringLiteral("Texto3"));
    }

    // Opened and saved unedited, a file keeps every byte: single-byte names, mixed line ends,
    // NUL, no line end at the end.
    void openAndSaveAreByteExact() {
        const QByteArray bytes("A\xF1o\tPeso\xB2\r\nb\nc\rd\0e", 18);
        TempDir dir;
        const QString path = QString::fromStdString(dir.Write("entrada.txt", bytes.toStdString()));
        Fixture f;
        QSignalSpy opened(&f.manager, &DocumentManager::fileOpened);
        QSignalSpy saved(&f.manager, &DocumentManager::fileSaved);
        CZENTODoc* document = f.manager.openDocument(path);
        QVERIFY(document);
        QCOMPARE(document->GetTitle(), QStringLiteral("entrada.txt"));
        QCOMPARE(document->GetPathName(), QFileInfo(path).canonicalFilePath());
        QVERIFY(!document->IsModified());
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), document->GetPathName());

        QFile::remove(path);
        QVERIFY(f.manager.saveDocument(document));
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(saved.count(), 1);
        QVERIFY(f.warnings.isEmpty());
        QVERIFY(f.asked.isEmpty());
    }

    void openFailureGivesNoDocument() {
        TempDir dir;
        const QString missing = QString::fromStdString(dir.File("no_existe.txt"));
        Fixture f;
        QSignalSpy failed(&f.manager, &DocumentManager::openFailed);
        QVERIFY(!f.manager.openDocument(missing));
        QCOMPARE(f.manager.documentCount(), 0);
        QVERIFY(f.area.subWindowList().isEmpty());
        QCOMPARE(failed.count(), 1);
        QCOMPARE(f.warnings.size(), 1);
        QVERIFY(f.warnings[0].startsWith("No se puede abrir el documento"));
        QVERIFY(f.warnings[0].endsWith("no existe."));
    }

    void openingAnOpenFileActivatesIt() {
        TempDir dir;
        const QString a = QString::fromStdString(dir.Write("a.txt", "a"));
        const QString b = QString::fromStdString(dir.Write("b.txt", "b"));
        Fixture f;
        f.openNames = {a, b};
        QCOMPARE(f.manager.openDocuments()->GetTitle(), QStringLiteral("b.txt"));
        QCOMPARE(f.manager.documentCount(), 2);
        CZENTODoc* first = f.manager.openDocument(QDir(dir.path()).filePath("./a.txt"));
        QCOMPARE(f.manager.documentCount(), 2);
        QCOMPARE(f.manager.activeDocument(), first);
        QCOMPARE(first->GetTitle(), QStringLiteral("a.txt"));
    }

    void saveAsNamesTheDocument_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "modelo"
                                      << "modelo.txt";
        QTest::newRow(".txt") << "modelo.txt"
                              << "modelo.txt";
        QTest::newRow("other extension") << "modelo.odc"
                                         << "modelo.odc";
    }
    void saveAsNamesTheDocument() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        TempDir dir;
        const QDir folder(QString::fromStdString(dir.path().string()));
        Fixture f;
        CZENTODoc* document = f.manager.newDocument();
        QSignalSpy titles(&f.manager, &DocumentManager::activeTitleChanged);
        Fixture::type(document->firstView(), QStringLiteral("hola"));
        QVERIFY(document->IsModified());
        f.saveNames.append(folder.filePath(typed));
        QVERIFY(f.manager.onCommand(ID_FILE_SAVE)); // a new document asks for a name
        QCOMPARE(f.proposed, QStringList{"Texto1.txt"});
        QCOMPARE(fileBytes(folder.filePath(written)), "hola");
        QCOMPARE(document->GetTitle(), written);
        QVERIFY(!document->IsModified());
        QCOMPARE(f.manager.activeFrame()->windowTitle(), written);
        QCOMPARE(titles.count(), 1);
        QCOMPARE(titles.at(0).at(0).toString(), written);

        // Cancelling the name writes nothing and changes nothing.
        Fixture::type(document->firstView(), QStringLiteral("!"));
        QVERIFY(!f.manager.saveDocumentAs(document));
        QCOMPARE(f.proposed.last(), folder.filePath(written));
        QVERIFY(document->IsModified());
        QCOMPARE(fileBytes(folder.filePath(written)), "hola");
    }

    // A save that fails says so and leaves the document as it was: text, flag, name.
    void failedSaveChangesNothing() {
        TempDir dir;
        const std::filesystem::path sub = dir.path() / "sub";
        std::filesystem::create_directory(sub);
        const QString path = QString::fromStdString((sub / "doc.txt").string());
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
        Fixture f;
        CZENTODoc* document = f.manager.openDocument(path);
        Fixture::type(document->firstView(), QStringLiteral("abc"));
        std::filesystem::remove_all(sub);
        QVERIFY(!f.manager.saveDocument(document));
        QCOMPARE(f.warnings.size(), 1);
        QVERIFY(f.warnings[0].contains("la carpeta no existe"));
        QVERIFY(document->IsModified());
        QCOMPARE(document->firstView()->textBytes(), "abc");
        QCOMPARE(document->GetPathName(), path);
    }

    // Closing the last window of a modified document asks, in Spanish terms, whether to save.
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
        QTest::newRow("save fails")
            << true << SaveChanges::Save << false << false << QByteArray("");
    }
    void closeAsks() {
        QFETCH(bool, modified);
        QFETCH(SaveChanges, answer);
        QFETCH(bool, canSave);
        QFETCH(bool, closed);
        QFETCH(QByteArray, file);
        TempDir dir;
        const QString path = QString::fromStdString(dir.Write("doc.txt", "old"));
        Fixture f;
        CZENTODoc* document = f.manager.openDocument(path);
        if (modified) {
            document->firstView()->moveCursor(QTextCursor::End);
            Fixture::type(document->firstView(), QStringLiteral("x"));
            f.answers.push_back(answer);
        }
        if (!canSave)
            std::filesystem::remove_all(dir.path());
        f.manager.activeFrame()->close();
        QCOMPARE(f.asked, modified ? QStringList{"doc.txt"} : QStringList{});
        QCOMPARE(f.manager.documentCount(), closed ? 0 : 1);
        QCOMPARE(f.area.subWindowList().size(), closed ? 0 : 1);
        QCOMPARE(fileBytes(path), file);
        QCOMPARE(f.warnings.size(), canSave ? 0 : 1);
    }

    // Generated text does not mark a document modified: it closes without a question.
    void generatedTextClosesWithoutQuestion() {
        Fixture f;
        f.manager.newDocument();
        QSignalSpy counts(&f.manager, &DocumentManager::documentCountChanged);
        QVERIFY(f.manager.onCommand(ID_MODELOS_LOGIT));
        QCOMPARE(f.manager.activeView()->textBytes(), f.generated(ID_MODELOS_LOGIT));
        QVERIFY(!f.manager.activeDocument()->IsModified());
        QVERIFY(f.manager.onCommand(ID_FILE_CLOSE));
        QVERIFY(f.asked.isEmpty());
        QCOMPARE(counts.count(), 1);
        QCOMPARE(counts.at(0).at(0).toInt(), 0);
        QCOMPARE(f.manager.activeDocument(), nullptr);
        QCOMPARE(f.manager.activeView(), nullptr);
    }

    // Text typed before generating is lost; the document stays modified, the close asks, and
    // the saved file holds the generated text. Reopened, it gives back the same bytes.
    void editedThenGeneratedThenSaved() {
        TempDir dir;
        const QString path = QString::fromStdString(dir.File("salida.txt"));
        Fixture f;
        CZENTODoc* document = f.manager.newDocument();
        Fixture::type(document->firstView(), QStringLiteral("escrito a mano"));
        QVERIFY(f.manager.onCommand(ID_DATA_GENERAR));
        const QByteArray text = f.generated(ID_DATA_GENERAR);
        QVERIFY(text.contains("A\xF1os[]"));
        QCOMPARE(document->firstView()->textBytes(), text);
        QVERIFY(document->IsModified());

        f.answers.push_back(SaveChanges::Save);
        f.saveNames.append(path);
        QVERIFY(f.manager.closeDocument(document));
        QCOMPARE(f.asked, QStringList{"Texto1"});
        QCOMPARE(fileBytes(path), text);

        CZENTODoc* reopened = f.manager.openDocument(path);
        QVERIFY(reopened);
        QCOMPARE(reopened->firstView()->textBytes(), text);
        QVERIFY(
            reopened->firstView()->toPlainText().startsWith(QStringLiteral("muerte[]\tAños[]")));
        QVERIFY(f.manager.saveDocument(reopened));
        QCOMPARE(fileBytes(path), text);
    }

    // A second window has its own text; generated text goes to the active window; saving
    // writes the first window's text; only the last window's close asks.
    void secondWindow() {
        TempDir dir;
        const QString path = QString::fromStdString(dir.Write("doc.txt", "original\r\n"));
        Fixture f;
        CZENTODoc* document = f.manager.openDocument(path);
        QVERIFY(f.manager.onCommand(ID_WINDOW_NEW));
        const QList<CChildFrame*> windows = f.manager.frames(document);
        QCOMPARE(windows.size(), 2);
        QCOMPARE(windows[0]->windowTitle(), QStringLiteral("doc.txt:1"));
        QCOMPARE(windows[1]->windowTitle(), QStringLiteral("doc.txt:2"));
        QCOMPARE(f.manager.activeFrame(), windows[1]);
        QCOMPARE(windows[1]->view()->textBytes(), "original\r\n");

        QVERIFY(f.manager.onCommand(ID_MODELOS_POWERLOGIT));
        QCOMPARE(windows[1]->view()->textBytes(), f.generated(ID_MODELOS_POWERLOGIT));
        QCOMPARE(windows[0]->view()->textBytes(), "original\r\n");
        windows[0]->view()->moveCursor(QTextCursor::End);
        Fixture::type(windows[0]->view(), QStringLiteral("mas"));
        QVERIFY(document->IsModified());
        QVERIFY(f.manager.onCommand(ID_FILE_SAVE));
        QCOMPARE(fileBytes(path), "original\r\nmas");

        Fixture::type(windows[1]->view(), QStringLiteral("z"));
        QVERIFY(document->IsModified());
        windows[0]->close(); // not the last window: no question
        QVERIFY(f.asked.isEmpty());
        QCOMPARE(f.manager.frames(document).size(), 1);
        QCOMPARE(windows[1]->windowTitle(), QStringLiteral("doc.txt"));
        QCOMPARE(document->firstView(), windows[1]->view());

        f.answers.push_back(SaveChanges::Save);
        windows[1]->close();
        QCOMPARE(f.asked, QStringList{"doc.txt"});
        QCOMPARE(fileBytes(path), "z" + f.generated(ID_MODELOS_POWERLOGIT));
        QCOMPARE(f.manager.documentCount(), 0);
    }

    void closeAllStopsOnCancel() {
        Fixture f;
        CZENTODoc* first = f.manager.newDocument();
        CZENTODoc* second = f.manager.newDocument();
        f.manager.newDocument();
        Fixture::type(first->firstView(), QStringLiteral("a"));
        Fixture::type(second->firstView(), QStringLiteral("b"));
        f.answers = {SaveChanges::Discard, SaveChanges::Cancel};
        QVERIFY(!f.manager.closeAllDocuments());
        QCOMPARE(f.manager.documentCount(), 3);
        QCOMPARE(f.area.subWindowList().size(), 3);

        f.answers = {SaveChanges::Discard, SaveChanges::Discard};
        QSignalSpy counts(&f.manager, &DocumentManager::documentCountChanged);
        QVERIFY(f.manager.closeAllDocuments());
        QCOMPARE(f.asked, (QStringList{"Texto1", "Texto2", "Texto1", "Texto2"}));
        QCOMPARE(f.manager.documentCount(), 0);
        QVERIFY(f.area.subWindowList().isEmpty());
        QCOMPARE(counts.last().at(0).toInt(), 0);
    }

    void commandRouting() {
        Fixture f;
        // No document window: the document commands are there but disabled, the view's are not
        // handled at all.
        QCOMPARE(f.manager.commandState(ID_FILE_NEW).enabled, true);
        QCOMPARE(f.manager.commandState(ID_FILE_OPEN).enabled, true);
        QCOMPARE(f.manager.commandState(ID_FILE_PRINT_SETUP).enabled, true);
        for (const int id : {ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_WINDOW_NEW}) {
            QVERIFY(f.manager.commandState(id).handled);
            QVERIFY(!f.manager.commandState(id).enabled);
        }
        for (const int id : CZENTOView::routedCommands())
            QVERIFY(!f.manager.commandState(id).handled);
        QVERIFY(!f.manager.onCommand(ID_MODELOS_LOGIT));

        QVERIFY(f.manager.onCommand(ID_FILE_NEW));
        QCOMPARE(f.manager.documentCount(), 1);
        for (const int id : CZENTOView::routedCommands())
            QVERIFY(f.manager.commandState(id).enabled);
        QVERIFY(f.manager.commandState(ID_EDIT_UNDO).handled);
        QVERIFY(!f.manager.commandState(ID_EDIT_UNDO).enabled);
        QSignalSpy states(&f.manager, &DocumentManager::commandStatesChanged);
        Fixture::type(f.manager.activeView(), QStringLiteral("x"));
        QVERIFY(states.count() > 0);
        QVERIFY(f.manager.commandState(ID_EDIT_UNDO).enabled);
        for (const int id : {ID_APP_ABOUT, ID_APP_EXIT, ID_WINDOW_CASCADE, ID_AYUDA_DOCUMENTO})
            QVERIFY(!f.manager.onCommand(id));
    }

    // Windows left behind by a manager that is gone close without a question.
    void windowsOutliveTheManager() {
        QMdiArea area;
        area.show();
        {
            DocumentManager manager(&area);
            manager.setPrompts({});
            Fixture::type(manager.newDocument()->firstView(), QStringLiteral("x"));
        }
        QCOMPARE(area.subWindowList().size(), 1);
        area.closeAllSubWindows();
        QVERIFY(area.subWindowList().isEmpty());
    }

    // The print switches: the file is printed without a dialog and its document closed again.
    void printFile() {
        TempDir dir;
        const QString path = QString::fromStdString(dir.Write("doc.txt", "model\r\n{\r\n}"));
        const std::string pdf = dir.File("doc.pdf");
        Fixture f;
        f.manager.printing().setModalRunner([](QDialog&) {
            QTest::qFail("a dialog was shown", __FILE__, __LINE__);
            return int(QDialog::Rejected);
        });
        f.manager.printing().printer().setOutputFileName(QString::fromStdString(pdf));
        QVERIFY(f.manager.printFile(path));
        QVERIFY(ReadFile(pdf).starts_with("%PDF"));
        QCOMPARE(f.manager.documentCount(), 0);
        QVERIFY(!f.manager.printFile(dir.File("no_existe.txt").c_str()));
        QCOMPARE(f.warnings.size(), 1);
        QVERIFY(!f.manager.printFile(path, QStringLiteral("zento-no-existe")));
        QCOMPARE(f.manager.documentCount(), 0);
        // The named printer was for that print only.
        QCOMPARE(f.manager.printing().printer().outputFileName(), QString::fromStdString(pdf));
    }
};

QTEST_MAIN(TestDocumentManager)
#include "tst_documentmanager.moc"
