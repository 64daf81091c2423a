// Files: where the data file dialog and the save dialog start, a long read that the user gives
// up waiting for, and document files whose failures come back in Spanish and leave the old file
// as it was. (tst_docview opens and saves every kind of byte.)
#include "framework/datafilepicker.h"
#include "framework/documentfile.h"
#include "framework/documentprompts.h"
#include "framework/progressrunner.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <thread>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace zento;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs ask while answering the file dialog it opens: notes the folder the dialog starts in,
// then picks file there, or cancels when file is empty.
template <class Ask> QString startFolder(Ask ask, const QString& file = {}) {
    QString folder;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        folder = dialog->directory().absolutePath();
        if (file.isEmpty())
            return dialog->reject();
        dialog->selectFile(file);
        static_cast<QDialog*>(dialog)->accept();
    });
    ask();
    return folder;
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }

    // The data file dialog starts in the working directory (even with an examples folder
    // there), then where the last file picked in this run lies; the save dialog starts in the
    // document's own folder.
    void dialogsStartWhereTheUserWorks() {
        const QList<NameFilter> filters = dataFileNameFilters();
        QCOMPARE(filters[0].label + "|" + filters[1].label,
                 "Archivos de Texto(*.txt)| Todos los Archivos (*.*)");
        QVERIFY(QDir::match(filters[1].patterns, QStringLiteral("datos"))); // no dot: all the same
        QCOMPARE(createDataFileDialog(nullptr)->windowTitle(), "Abrir Datos");

        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("examples")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("datos")));
        const QString data = dir.filePath(QStringLiteral("datos/d.txt"));
        QFile(data).open(QIODevice::WriteOnly);
        const DataFilePicker pick = rememberingDataFilePicker();
        std::optional<QString> picked;
        QCOMPARE(startFolder([&] { picked = pick(nullptr); }, data), QDir::currentPath());
        QCOMPARE(picked, data);
        QCOMPARE(startFolder([&] { pick(nullptr); }), QFileInfo(data).absolutePath());
        const QString document = dir.filePath(QStringLiteral("examples/doc.txt"));
        QCOMPARE(
            startFolder([&] { DocumentPrompts::interactive().askSaveFileName(nullptr, document); }),
            QFileInfo(document).absolutePath());
        QDir::setCurrent(previous);
    }

    // A job that takes longer than about half a second shows its progress; "Cancelar" asks it
    // to stop, and whatever it made is dropped.
    void longJobCanBeCancelled() {
        using Clock = std::chrono::steady_clock;
        QWidget window;
        window.show();
        std::optional<Clock::duration> shown;
        const auto started = Clock::now();
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            auto* progress = window.findChild<QProgressDialog*>();
            if (progress && progress->isVisible() && !shown) {
                shown = Clock::now() - started;
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
            }
        });
        watch.start(50);
        const auto made = runWithProgress(&window, QStringLiteral("Leyendo"), [](ProgressState& s) {
            while (!s.cancelRequested)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return 1;
        });
        QVERIFY(!made && shown && *shown > std::chrono::milliseconds(400));
    }

    // A failure comes back as one Spanish sentence naming the file and why; a failed save leaves
    // whatever was there: nothing, or the old bytes of a file whose folder takes no new files.
    void failures_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("name"); // in a folder that holds the folder "carpeta"
        QTest::addColumn<QString>("reason");
        QTest::newRow("open missing") << false << QStringLiteral("no_existe.txt") << "no existe";
        QTest::newRow("open a folder") << false << QStringLiteral("carpeta") << "es una carpeta";
        QTest::newRow("save, missing folder")
            << true << QStringLiteral("falta/doc.txt") << "la carpeta no existe";
        QTest::newRow("save onto a folder")
            << true << QStringLiteral("carpeta") << "es una carpeta";
        if (QFileInfo(QStringLiteral("/proc/version")).isFile())
            QTest::newRow("save, folder takes no new files")
                << true << QStringLiteral("/proc/version") << QString();
    }
    void failures() {
        QFETCH(bool, save);
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("carpeta")));
        const QString path = QDir(dir.path()).filePath(name);
        const QString sentence =
            QStringLiteral("No se puede %1 el documento \"%2\": %3")
                .arg(save ? "guardar" : "abrir", QDir::toNativeSeparators(path), reason);
        if (save) {
            const QByteArray before = contents(path);
            const std::optional<QString> error = writeDocumentFile(path, "texto");
            QVERIFY(error && error->startsWith(sentence));
            QVERIFY(error->endsWith(". El archivo y el documento quedan como estaban."));
            QCOMPARE(contents(path), before);
        } else {
            const DocumentFileRead read = readDocumentFile(path);
            QCOMPARE(read.error, sentence + u'.');
            QVERIFY(read.bytes.isEmpty());
        }
    }

#ifdef Q_OS_UNIX
    // The disk fills half way through a save (a file size limit on this process): the old
    // file stays, no temporary file is left, and the user is told why.
    void saveThatFailsHalfWay() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        QCOMPARE(writeDocumentFile(path, "anterior"), std::nullopt);
        rlimit unlimited{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
        rlimit limited = unlimited;
        limited.rlim_cur = 16 << 10;
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const std::optional<QString> error = writeDocumentFile(path, QByteArray(64 << 10, 'x'));
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, previous);
        QVERIFY(error && error->contains("el archivo es demasiado grande"));
        QCOMPARE(contents(path), "anterior");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"doc.txt"});
    }
#endif

    // A name without an extension gets ".txt"; a dot in a folder's name is no extension.
    void documentExtension() {
        for (const auto& [name, saved] : {std::pair("/tmp/modelo", "/tmp/modelo.txt"),
                                          std::pair("/tmp/modelo.odc", "/tmp/modelo.odc"),
                                          std::pair("/tmp/v1.2/modelo", "/tmp/v1.2/modelo.txt")})
            QCOMPARE(withDocumentExtension(QString::fromLatin1(name)), QString::fromLatin1(saved));
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
