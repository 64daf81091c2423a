// Document files: read and written byte for byte; failures come back in Spanish and leave the
// old file as it was.
#include "framework/documentfile.h"
#include "framework/documentprompts.h"

#include "../common/tempdir.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

using namespace zento;
using zento::testing::ReadFile;
using zento::testing::TempDir;

class TestDocumentFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void readsAndWritesEveryByte() {
        TempDir dir;
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
        const QString path = QString::fromStdString(dir.File("doc.txt"));
        QCOMPARE(writeDocumentFile(path, bytes), std::nullopt);
        QCOMPARE(QByteArray::fromStdString(ReadFile(path.toStdString())), bytes);
        const DocumentFileRead read = readDocumentFile(path);
        QCOMPARE(read.error, std::nullopt);
        QCOMPARE(read.bytes, bytes);

        // Replacing a longer file leaves nothing of it behind.
        QCOMPARE(writeDocumentFile(path, "ab"), std::nullopt);
        QCOMPARE(ReadFile(path.toStdString()), "ab");
    }

    void readFailures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "no_existe.txt"
                                 << "no existe";
        QTest::newRow("folder") << "carpeta"
                                << "es una carpeta";
    }
    void readFailures() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        TempDir dir;
        QDir(QString::fromStdString(dir.path().string())).mkdir(QStringLiteral("carpeta"));
        const QString path = QString::fromStdString(dir.File(name.toStdString()));
        const DocumentFileRead read = readDocumentFile(path);
        QVERIFY(read.error);
        QCOMPARE(*read.error, QStringLiteral("No se puede abrir el documento \"%1\": %2.")
                                  .arg(QDir::toNativeSeparators(path), reason));
        QVERIFY(read.bytes.isEmpty());
    }

    void writeFailures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "falta/doc.txt"
                                        << "la carpeta no existe";
        QTest::newRow("onto a folder") << "carpeta"
                                       << "es una carpeta";
    }
    void writeFailures() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        TempDir dir;
        QDir(QString::fromStdString(dir.path().string())).mkdir(QStringLiteral("carpeta"));
        const QString path = QString::fromStdString(dir.File(name.toStdString()));
        const std::optional<QString> error = writeDocumentFile(path, "texto");
        QVERIFY(error);
        QCOMPARE(*error, QStringLiteral("No se puede guardar el documento \"%1\": %2. El archivo "
                                        "y el documento quedan como estaban.")
                             .arg(QDir::toNativeSeparators(path), reason));
        QVERIFY(!QFileInfo(path).isFile());
    }

    // A file whose folder takes no new files cannot be replaced: it keeps its old bytes.
    void failedSaveKeepsTheOldFile() {
        const QString path = QStringLiteral("/proc/version");
        if (!QFileInfo(path).isFile())
            QSKIP("needs a file in a folder where no file can be created");
        const std::string before = ReadFile(path.toStdString());
        QVERIFY(writeDocumentFile(path, "otro texto"));
        QCOMPARE(ReadFile(path.toStdString()), before);
    }

    void documentExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "/tmp/modelo"
                                      << "/tmp/modelo.txt";
        QTest::newRow(".txt") << "/tmp/modelo.txt"
                              << "/tmp/modelo.txt";
        QTest::newRow("another extension") << "/tmp/modelo.odc"
                                           << "/tmp/modelo.odc";
        QTest::newRow("dot in the folder") << "/tmp/v1.2/modelo"
                                           << "/tmp/v1.2/modelo.txt";
    }
    void documentExtension() {
        QFETCH(QString, name);
        QFETCH(QString, saved);
        QCOMPARE(withDocumentExtension(name), saved);
    }
};

QTEST_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
