// The data file dialog's configuration (it is never shown here).
#include "framework/datafilepicker.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zento;

class TestDataFilePicker : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void filters_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("shown");
        QTest::newRow("txt: text file") << 0 << "datos.txt" << true;
        QTest::newRow("txt: other") << 0 << "datos.dat" << false;
        QTest::newRow("txt: no extension") << 0 << "datos" << false;
        QTest::newRow("all: text file") << 1 << "datos.txt" << true;
        QTest::newRow("all: other") << 1 << "datos.dat" << true;
        QTest::newRow("all: no extension") << 1 << "datos" << true;
    }
    void filters() {
        QFETCH(int, filter);
        QFETCH(QString, file);
        QFETCH(bool, shown);
        const QList<NameFilter> filters = dataFileNameFilters();
        QCOMPARE(filters.size(), 2);
        QCOMPARE(filters[0].label, "Archivos de Texto(*.txt)");
        QCOMPARE(filters[1].label, " Todos los Archivos (*.*)");
        QCOMPARE(QDir::match(filters[filter].patterns, file), shown);
    }

    void dialogConfiguration() {
        const auto dialog = createDataFileDialog(nullptr);
        QCOMPARE(dialog->windowTitle(), "Abrir Datos");
        QCOMPARE(dataFileDialogTitle(), "Abrir Datos");
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(dialog->nameFilters().size(), 2);
        QCOMPARE(dialog->defaultSuffix(), "txt");
    }

    void startsInExamplesWhenThereIsOne() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const QString plain = createDataFileDialog(nullptr)->directory().absolutePath();
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("examples")));
        const QString examples = createDataFileDialog(nullptr)->directory().absolutePath();
        QDir::setCurrent(previous);
        QVERIFY(!plain.endsWith(QStringLiteral("/examples")));
        QCOMPARE(QFileInfo(examples).canonicalFilePath(),
                 QFileInfo(dir.filePath(QStringLiteral("examples"))).canonicalFilePath());
    }
};

QTEST_MAIN(TestDataFilePicker)
#include "tst_datafilepicker.moc"
