// The generating commands and saving on hostile input: binary files, NUL bytes, huge tokens and
// headers, a data file replaced between the dialog's count and the generation, counts at the
// ends of the 32-bit range, 8-bit names through generate, save and reopen, and a save that runs
// into a file size limit half way.
#include "datafile/tokentally.h"
#include "dialogs/cargarmodelos.h"
#include "dialogs/selectiondialog.h"
#include "dialogs/selectionlogic.h"
#include "docview/documentmanager.h"
#include "docview/zentodoc.h"
#include "docview/zentoview.h"
#include "framework/commands.h"
#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include "../common/repeatingsource.h"
#include "../common/tempdir.h"

#include <QPrinter>

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace zento;
using zento::testing::ReadFile;
using zento::testing::TempDir;

namespace {

QByteArray fileBytes(const QString& path) {
    return QByteArray::fromStdString(ReadFile(path.toStdString()));
}

std::string pseudoRandomBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 2024;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 23);
    }
    return bytes;
}

std::string allHighBytes() {
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c)
        high += static_cast<char>(c);
    return high;
}

// The files of the tests, by name.
std::string dataFile(const QString& kind) {
    if (kind == "binary")
        return pseudoRandomBytes(64 << 10);
    if (kind == "nul")
        return std::string("y\0a\tx\0\n1\t\0\n0\t\0\0\n", 16);
    if (kind == "giant token")
        return "y\t" + std::string(4 << 20, 'g') + "\n1\t2\n";
    if (kind == "wide header") {
        std::string header, row;
        for (int i = 0; i < 120000; ++i) {
            header += (i ? "\tv" : "v") + std::to_string(i);
            row += i % 2 ? "1 " : "0 ";
        }
        return header + "\n" + row + "\n" + row + "\n";
    }
    if (kind == "utf8")
        return "a\xc3\xb1o\tpe\xc3\xb1"
               "a\tx\xe2\x82\xac\r\n1\t2\t3\r\n0\t4\t5\r\n";
    if (kind == "latin1")
        return "a\xf1o\tpe\xf1"
               "a\tx\x80\r\n1\t2\t3\r\n0\t4\t5\r\n";
    if (kind == "high bytes")
        return "y\t" + allHighBytes() + "\tz\r\n1\t2\t3\r\n0\t4\t5\r\n";
    if (kind == "short")
        return "y\tx\n1\n";
    if (kind == "example")
        return "y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n";
    return "";
}

Result<std::string> builderText(int id, const DataSelection& selection) {
    if (id == ID_DATA_GENERAR)
        return BuildRectangularData(selection);
    Result<ModelNames> names = ReadModelNames(selection.path, selection.chosenVariables);
    if (!names)
        return names.error();
    return Links()[std::size_t(id - ID_MODELOS_LOGIT)].build(*names, selection);
}

// A manager whose selection dialogs pick `path`, let `beforeAccept` act, and are accepted.
struct Fixture {
    QMdiArea area;
    DocumentManager manager{&area};
    QStringList warnings;
    QStringList saveNames;
    std::string path;
    std::function<void(SelectionDialog&)> beforeAccept;
    DataSelection selection;

    Fixture() {
        area.resize(800, 600);
        area.show();
        manager.setPrompts({
            [](QWidget*, const QString&) {
                QTest::qFail("unexpected question", __FILE__, __LINE__);
                return SaveChanges::Cancel;
            },
            [this](QWidget*, const QString&) -> std::optional<QString> {
                if (saveNames.isEmpty())
                    return std::nullopt;
                return saveNames.takeFirst();
            },
            [](QWidget*) { return QStringList(); },
            [this](QWidget*, const QString& message) { warnings.append(message); },
        });
        manager.setSelectionRunner([this](SelectionDialog& dialog) {
            dialog.setFilePicker(
                [this](QWidget*) { return std::optional<QString>(QString::fromStdString(path)); });
            dialog.open();
            dialog.OnIncluirDatos();
            if (beforeAccept)
                beforeAccept(dialog);
            dialog.accept();
            selection = dialog.selection();
        });
    }

    CZENTOView* view() const { return manager.activeView(); }
    QMessageBox* message() const { return view()->findChild<QMessageBox*>(); }

    // Runs the command on a document holding `before`, and checks the outcome against the
    // builder: its exact bytes, or its refusal shown and the text left alone.
    void generateAndCompare(int id, const QByteArray& before = "anterior\r\n") {
        manager.newDocument();
        view()->setTextBytes(before);
        QVERIFY(manager.onCommand(id));
        QVERIFY(!selection.path.empty());
        const Result<std::string> expected = builderText(id, selection);
        if (expected) {
            QCOMPARE(view()->textBytes().size(), qsizetype(expected->size()));
            QVERIFY(view()->textBytes() == QByteArrayView(*expected));
            QVERIFY(!message());
        } else {
            QCOMPARE(view()->textBytes(), before);
            QVERIFY(message());
            QCOMPARE(message()->text(),
                     QString::fromStdString(DescribeDataError(expected.error())));
        }
    }
};

void typeCounts(SelectionDialog& dialog, int id, const QString& variables, const QString& cases) {
    const SelectionLayout& ids = id == ID_DATA_GENERAR ? kCargarDatosLayout : kCargarModelosLayout;
    dialog.box(ids.chosenVariablesBox)->setText(variables);
    dialog.box(ids.chosenCasesBox)->setText(cases);
}

const int kGenerating[] = {
    ID_DATA_GENERAR,           ID_MODELOS_LOGIT,
    ID_MODELOS_PROBIT,         ID_MODELOS_CLOGLOG,
    ID_MODELOS_POWERLOGIT,     ID_MODELOS_SCOBIT,
    ID_MODELOS_SKEWLOGIT,      ID_MODELOS_SKEWPROBIT_CDS,
    ID_MODELOS_SKEWPROBIT_BBB, ID_MODELOS_SKEWPROBIT_STANDARD,
};

} // namespace

class TestRobustness : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void hostileDataFiles_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"binary", "nul", "giant token", "wide header"}) {
            for (const int id : {int(ID_DATA_GENERAR), int(ID_MODELOS_LOGIT),
                                 int(ID_MODELOS_SKEWPROBIT_STANDARD)}) {
                QTest::addRow("%s, %s", kind, findCommand(id)->name) << id << QString(kind);
            }
        }
    }
    void hostileDataFiles() {
        QFETCH(int, id);
        QFETCH(QString, kind);
        TempDir dir;
        Fixture f;
        f.path = dir.Write("datos.txt", dataFile(kind));
        f.generateAndCompare(id);
    }

    // A file of more than 2^31 tokens, simulated: the dialog says it is too large, and every
    // box keeps what the file picked before gave it; no count wraps around.
    void countsBeyond32BitsInTheDialog() {
        TempDir dir;
        const QString small = QString::fromStdString(dir.Write("d.txt", dataFile("example")));
        const QString big = QString::fromStdString(dir.File("grande.txt"));
        CCargarModelos dialog;
        dialog.setFilePicker([&](QWidget*) { return std::optional<QString>(small); });
        dialog.setScanner([](const std::string& path, const ScanProgress& progress) {
            if (path.find("grande") == std::string::npos)
                return ScanDataFile(path, progress);
            // One name, then 2^31 + 3 values: N = 2^31 + 3.
            testing::RepeatingSource source("y\n", (std::uint64_t{1} << 31) + 3);
            TallyOptions options;
            options.progress = progress;
            auto tally = TallyTokens(source, path, options);
            return tally ? CountsFromTally(*tally, path) : Result<ScanCounts>(tally.error());
        });
        dialog.open();
        const SelectionLayout& ids = kCargarModelosLayout;
        const auto boxes = [&] {
            QStringList texts;
            for (int id :
                 {ids.pathBox, ids.kBox, ids.nBox, ids.chosenVariablesBox, ids.chosenCasesBox})
                texts << dialog.box(id)->text();
            return texts;
        };
        dialog.OnIncluirDatos();
        const QStringList before = boxes();
        QCOMPARE(before.mid(1), (QStringList{"3", "2", "3", "2"}));

        dialog.setFilePicker([&](QWidget*) { return std::optional<QString>(big); });
        dialog.OnIncluirDatos();
        auto* message = dialog.findChild<QMessageBox*>();
        QVERIFY(message);
        QVERIFY2(message->text().contains("es demasiado grande"), qPrintable(message->text()));
        QCOMPARE(boxes(), before);
    }

    // A pasted token of megabytes goes in whole, in a blink (word wrapping alone would take
    // hours on it), and text with words wraps at their boundaries again once it replaces it.
    void pastedGiantToken() {
        CZENTODoc document;
        CZENTOView view;
        view.attachDocument(&document);
        view.resize(600, 400);
        view.show();
        const QString giant(2 << 20, QLatin1Char('g'));
        QGuiApplication::clipboard()->setText(giant);
        view.setTextBytes("a b\r\n");
        QVERIFY(view.onCommand(ID_EDIT_PASTE));
        QCOMPARE(view.toPlainText().size(), giant.size() + 4); // "a b", LF, the token
        QCOMPARE(view.wordWrapMode(), QTextOption::WrapAnywhere);
        // Printed, too, without waiting for ever.
        TempDir dir;
        const std::string pdf = dir.File("token.pdf");
        view.printing().printer().setOutputFileName(QString::fromStdString(pdf));
        QVERIFY(view.onCommand(ID_FILE_PRINT_DIRECT));
        QVERIFY(ReadFile(pdf).starts_with("%PDF"));
        view.setTextBytes("a b\r\n");
        QCOMPARE(view.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    }

    // Between the dialog's count and the generation the file is replaced: the command reads
    // what is there then, or refuses with the reason; a FIFO must not make it wait for ever.
    void fileReplacedAfterTheCount_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("replacement");
        for (const char* replacement : {"short", "binary", "folder", "fifo", "removed"}) {
            for (const int id : {int(ID_DATA_GENERAR), int(ID_MODELOS_PROBIT)})
                QTest::addRow("%s, %s", replacement, findCommand(id)->name)
                    << id << QString(replacement);
        }
    }
    void fileReplacedAfterTheCount() {
        QFETCH(int, id);
        QFETCH(QString, replacement);
        TempDir dir;
        Fixture f;
        f.path = dir.Write("datos.txt", dataFile("example"));
        f.beforeAccept = [&](SelectionDialog&) {
            std::filesystem::remove(f.path);
            if (replacement == "folder")
                std::filesystem::create_directory(f.path);
            else if (replacement == "fifo")
                QCOMPARE(::mkfifo(f.path.c_str(), 0600), 0);
            else if (replacement != "removed")
                dir.Write("datos.txt", dataFile(replacement));
        };
        f.generateAndCompare(id);
        if (replacement != "short" && replacement != "binary")
            QVERIFY(f.message());
    }

    void countsAtTheEndsOfThe32BitRange_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("variables");
        QTest::addColumn<QString>("cases");
        const QString min = QStringLiteral("-2147483648");
        const QString max = QStringLiteral("2147483647");
        for (const int id : kGenerating) {
            const char* name = findCommand(id)->name;
            QTest::addRow("%s, min min", name) << id << min << min;
            QTest::addRow("%s, min max", name) << id << min << max;
            QTest::addRow("%s, max min", name) << id << max << min;
            QTest::addRow("%s, max max", name) << id << max << max;
            QTest::addRow("%s, 3 max", name) << id << QStringLiteral("3") << max;
        }
    }
    void countsAtTheEndsOfThe32BitRange() {
        QFETCH(int, id);
        QFETCH(QString, variables);
        QFETCH(QString, cases);
        TempDir dir;
        Fixture f;
        f.path = dir.Write("datos.txt", dataFile("example"));
        f.beforeAccept = [&](SelectionDialog& dialog) { typeCounts(dialog, id, variables, cases); };
        f.generateAndCompare(id);
        QCOMPARE(QString::number(f.selection.chosenVariables), variables);
        QCOMPARE(QString::number(f.selection.chosenCases), cases);
    }

    // Generated from 8-bit names, saved, reopened and saved again: the same bytes every time.
    void eightBitNamesGenerateSaveReopen_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"utf8", "latin1", "high bytes", "nul"}) {
            for (const int id : {int(ID_DATA_GENERAR), int(ID_MODELOS_SCOBIT)})
                QTest::addRow("%s, %s", kind, findCommand(id)->name) << id << QString(kind);
        }
    }
    void eightBitNamesGenerateSaveReopen() {
        QFETCH(int, id);
        QFETCH(QString, kind);
        TempDir dir;
        Fixture f;
        f.path = dir.Write("datos.txt", dataFile(kind));
        f.generateAndCompare(id);
        const QByteArray generated = QByteArray::fromStdString(*builderText(id, f.selection));
        const QString saved = QString::fromStdString(dir.File("salida.txt"));
        f.saveNames.append(saved);
        QVERIFY(f.manager.saveDocumentAs(f.manager.activeDocument()));
        QCOMPARE(fileBytes(saved), generated);

        QVERIFY(f.manager.closeDocument(f.manager.activeDocument())); // saved: no question
        CZENTODoc* reopened = f.manager.openDocument(saved);
        QVERIFY(reopened);
        QCOMPARE(reopened->firstView()->textBytes(), generated);
        QFile::remove(saved);
        QVERIFY(f.manager.saveDocument(reopened));
        QCOMPARE(fileBytes(saved), generated);
        QVERIFY(f.warnings.isEmpty());
    }

    // The disk fills half way through a save (a file size limit on this process): the old file
    // and the document stay as they were, and the user is told in Spanish.
    void saveThatFailsHalfWay() {
        TempDir dir;
        const QByteArray old = "contenido anterior\r\n";
        const QString path = QString::fromStdString(dir.Write("doc.txt", old.toStdString()));
        Fixture f;
        CZENTODoc* document = f.manager.openDocument(path);
        QVERIFY(document);
        QByteArray text;
        while (text.size() < (256 << 10))
            text += "y[]\tx1[]\t\r\n1\t0.5\t\r\n";
        f.view()->setTextBytes(text);
        QTest::keyClicks(f.view(), QStringLiteral("z"));
        const QByteArray edited = f.view()->textBytes();
        QVERIFY(document->IsModified());
        const QString newName = QString::fromStdString(dir.File("nuevo.txt"));
        f.saveNames.append(newName);

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit limited = saved;
        limited.rlim_cur = 16 << 10;
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool savedInPlace = f.manager.saveDocument(document);
        const bool savedAs = f.manager.saveDocumentAs(document);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        QVERIFY(!savedInPlace);
        QVERIFY(!savedAs);
        QCOMPARE(fileBytes(path), old);
        QVERIFY(!QFile::exists(newName));
        QCOMPARE(QDir(QString::fromStdString(dir.path().string())).entryList(QDir::Files),
                 QStringList{"doc.txt"});
        QVERIFY(document->IsModified());
        QCOMPARE(document->GetPathName(), QFileInfo(path).canonicalFilePath());
        QCOMPARE(f.view()->textBytes(), edited);
        QCOMPARE(f.warnings.size(), 2);
        for (const QString& warning : f.warnings) {
            QVERIFY2(warning.startsWith("No se puede guardar el documento"), qPrintable(warning));
            QVERIFY2(warning.contains("el archivo es demasiado grande"), qPrintable(warning));
        }
        // With room again, the same document saves.
        QVERIFY(f.manager.saveDocument(document));
        QCOMPARE(fileBytes(path), edited);
    }
};

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
