// Files: the data file dialog, opening a document with the desktop, and document files read and
// written byte for byte, whose failures come back in Spanish and leave the old file as it was.
#include "framework/datafilepicker.h"
#include "framework/documentfile.h"
#include "framework/documentprompts.h"
#include "framework/shellopen.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace zento;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class Desktop : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class TestFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void dataFileDialog() {
        const QList<NameFilter> filters = dataFileNameFilters();
        QCOMPARE(filters[0].label, "Archivos de Texto(*.txt)");
        QCOMPARE(filters[1].label, " Todos los Archivos (*.*)");
        QVERIFY(QDir::match(filters[0].patterns, QStringLiteral("datos.txt")));
        QVERIFY(!QDir::match(filters[0].patterns, QStringLiteral("datos.dat")));
        for (const char* name : {"datos.txt", "datos.dat", "datos"})
            QVERIFY2(QDir::match(filters[1].patterns, QString::fromLatin1(name)), name);

        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("examples")));
        const auto dialog = createDataFileDialog(nullptr);
        QDir::setCurrent(previous);
        QCOMPARE(dialog->windowTitle(), "Abrir Datos");
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(dialog->directory().dirName(), "examples");
    }

    void openWithDesktop() {
        Desktop desktop;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &desktop, "open");
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("manual")));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const bool missing = zento::openWithDesktop(QStringLiteral("manual/Index.html"));
        QFile(QStringLiteral("manual/Index.html")).open(QIODevice::WriteOnly);
        const bool present = zento::openWithDesktop(QStringLiteral("manual/Index.html"));
        QDir::setCurrent(previous);
        const bool url = zento::openWithDesktop(QStringLiteral("https://example.org/ayuda"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

        QVERIFY(!missing && present && url);
        const QList<QUrl> expected{QUrl::fromLocalFile(dir.filePath("manual/Index.html")),
                                   QUrl(QStringLiteral("https://example.org/ayuda"))};
        QCOMPARE(desktop.opened, expected);
    }

    void readsAndWritesEveryByte() {
        QTemporaryDir dir;
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
        const QString path = dir.filePath(QStringLiteral("doc.txt"));
        QCOMPARE(writeDocumentFile(path, bytes), std::nullopt);
        QCOMPARE(contents(path), bytes);
        const DocumentFileRead read = readDocumentFile(path);
        QCOMPARE(read.error, std::nullopt);
        QCOMPARE(read.bytes, bytes);
        // Replacing a longer file leaves nothing of it behind.
        QCOMPARE(writeDocumentFile(path, "ab"), std::nullopt);
        QCOMPARE(contents(path), "ab");
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
            QVERIFY(error->endsWith(
                QStringLiteral(". El archivo y el documento quedan como estaban.")));
            QCOMPARE(contents(path), before);
        } else {
            const DocumentFileRead read = readDocumentFile(path);
            QCOMPARE(read.error, sentence + u'.');
            QVERIFY(read.bytes.isEmpty());
        }
    }

    // A name without an extension gets ".txt"; a dot in a folder's name is no extension.
    void documentExtension() {
        for (const auto& [name, saved] : {std::pair("/tmp/modelo", "/tmp/modelo.txt"),
                                          std::pair("/tmp/modelo.txt", "/tmp/modelo.txt"),
                                          std::pair("/tmp/modelo.odc", "/tmp/modelo.odc"),
                                          std::pair("/tmp/v1.2/modelo", "/tmp/v1.2/modelo.txt")})
            QCOMPARE(withDocumentExtension(QString::fromLatin1(name)), QString::fromLatin1(saved));
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
