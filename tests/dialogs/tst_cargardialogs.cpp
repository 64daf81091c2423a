// The two selection dialogs as windows: their templates, and runs driven through the buttons
// with a file picker and a scanner standing in for the real ones.
#include "dialogs/cargardatos.h"
#include "dialogs/cargarmodelos.h"
#include "framework/dialogunits.h"

#include "common/focuschain.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <memory>
#include <thread>

namespace {

QString dataFile(const char* name) {
    return QStringLiteral(ZENTO_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

std::unique_ptr<SelectionDialog> makeDialog(bool model) {
    if (model)
        return std::make_unique<CCargarModelos>();
    return std::make_unique<CCargarDatos>();
}

struct Ids {
    int path, k, n, chosenVariables, chosenCases;
};

Ids idsOf(bool model) {
    if (model)
        return {IDC_MODELOS_PATH, IDC_MODELOS_K, IDC_MODELOS_N, IDC_MODELOS_CHOSEN_VARIABLES,
                IDC_MODELOS_CHOSEN_CASES};
    return {IDC_DATOS_PATH, IDC_DATOS_K, IDC_DATOS_N, IDC_DATOS_CHOSEN_VARIABLES,
            IDC_DATOS_CHOSEN_CASES};
}

QPushButton* button(QWidget* dialog, int id) {
    return qobject_cast<QPushButton*>(zento::findControl(dialog, id));
}

// Path, K, N, chosen variables, chosen cases, as the boxes show them.
QStringList shown(SelectionDialog& dialog, bool model) {
    const Ids ids = idsOf(model);
    return {dialog.box(ids.path)->text(), dialog.box(ids.k)->text(), dialog.box(ids.n)->text(),
            dialog.box(ids.chosenVariables)->text(), dialog.box(ids.chosenCases)->text()};
}

QStringList shownFile(const char* name, const char* k, const char* n) {
    return {QDir::toNativeSeparators(dataFile(name)), k, n, k, n};
}

// Picks the given files in turn; nullopt stands for a cancelled file dialog.
zento::DataFilePicker picking(QList<std::optional<QString>> picks) {
    return [picks](QWidget*) mutable { return picks.isEmpty() ? std::nullopt : picks.takeFirst(); };
}

void include(SelectionDialog& dialog) {
    QTest::mouseClick(button(&dialog, IDC_INCLUIR_DATOS), Qt::LeftButton);
}

} // namespace

class TestCargarDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void templates_data() {
        QTest::addColumn<bool>("model");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("pathRect");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("CCargarDatos")
            << false << "Generación de Datos para WinBUGS" << QSize(308, 94) << QRect(7, 7, 293, 13)
            << QStringList{"Variables (K)", "Casos (N)", "Variables a elegir", "Casos a elegir"};
        QTest::newRow("CCargarModelos")
            << true << "Generación del Modelo de Regresión Binaria para WinBUGS" << QSize(315, 105)
            << QRect(7, 7, 301, 14)
            << QStringList{"Variables (K)", "Casos  (N)", "Variables a Elegir", "Casos a Elegir"};
    }
    void templates() {
        QFETCH(bool, model);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QFETCH(QRect, pathRect);
        QFETCH(QStringList, labels);
        const auto dialog = makeDialog(model);
        const Ids ids = idsOf(model);
        QCOMPARE(model ? int(CCargarModelos::IDD) : int(CCargarDatos::IDD), model ? 131 : 130);
        QCOMPARE(dialog->windowTitle(), caption);
        const zento::DialogUnits units(dialog->font());
        QCOMPARE(dialog->size(), units.size(size.width(), size.height()));
        QCOMPARE(dialog->box(ids.path)->geometry(),
                 units.rect(pathRect.x(), pathRect.y(), pathRect.width(), pathRect.height()));

        QStringList texts;
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            texts.append(label->text());
        QCOMPARE(texts, labels);

        QCOMPARE(button(dialog.get(), zento::IDOK)->text(), "Aceptar");
        QVERIFY(button(dialog.get(), zento::IDOK)->isDefault());
        QCOMPARE(button(dialog.get(), zento::IDCANCEL)->text(), "Cancelar");
        QCOMPARE(button(dialog.get(), IDC_INCLUIR_DATOS)->text(), "Incluir Datos...");

        QVERIFY(dialog->box(ids.path)->isReadOnly());
        QVERIFY(dialog->box(ids.k)->isReadOnly());
        QVERIFY(dialog->box(ids.n)->isReadOnly());
        QVERIFY(!dialog->box(ids.chosenVariables)->isReadOnly());
        QVERIFY(!dialog->box(ids.chosenCases)->isReadOnly());

        const QList<QWidget*> tabOrder{button(dialog.get(), zento::IDOK),
                                       button(dialog.get(), zento::IDCANCEL),
                                       dialog->box(ids.path),
                                       dialog->box(ids.k),
                                       dialog->box(ids.n),
                                       button(dialog.get(), IDC_INCLUIR_DATOS),
                                       dialog->box(ids.chosenVariables),
                                       dialog->box(ids.chosenCases)};
        QCOMPARE(zento::testing::TabOrder(dialog.get()), tabOrder);
    }

    void pickAndAccept_data() { bothDialogs(); }
    void pickAndAccept() {
        QFETCH(bool, model);
        const auto dialog = makeDialog(model);
        dialog->setFilePicker(
            picking({dataFile("dlg_cinco_casos.txt"), std::nullopt, dataFile("dlg_ejemplo.txt")}));
        dialog->open();
        QCOMPARE(shown(*dialog, model), (QStringList{QString(), "0", model ? "0" : "", "0", "0"}));

        include(*dialog);
        QCOMPARE(shown(*dialog, model), shownFile("dlg_cinco_casos.txt", "2", "5"));
        include(*dialog); // a cancelled file dialog changes nothing
        QCOMPARE(shown(*dialog, model), shownFile("dlg_cinco_casos.txt", "2", "5"));
        include(*dialog); // a second file replaces all five boxes
        QCOMPARE(shown(*dialog, model), shownFile("dlg_ejemplo.txt", "3", "2"));

        QTest::mouseClick(button(dialog.get(), zento::IDOK), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QVERIFY(dialog->accepted());
        const zento::DataSelection selection = dialog->selection();
        QCOMPARE(selection.path, dataFilePath(dataFile("dlg_ejemplo.txt")));
        QCOMPARE(selection.K, 3);
        QCOMPARE(selection.N, model ? 2 : 0);
        QCOMPARE(selection.chosenVariables, 3);
        QCOMPARE(selection.chosenCases, 2);
    }

    void typingInTheBoxes_data() { bothDialogs(); }
    void typingInTheBoxes() {
        QFETCH(bool, model);
        const auto dialog = makeDialog(model);
        const Ids ids = idsOf(model);
        dialog->setFilePicker(picking({dataFile("dlg_ejemplo.txt")}));
        dialog->open();
        include(*dialog);

        // K and N cannot be typed into; the chosen boxes can.
        QTest::keyClicks(dialog->box(ids.k), QStringLiteral("7"));
        QTest::keyClicks(dialog->box(ids.n), QStringLiteral("7"));
        QCOMPARE(dialog->box(ids.k)->text(), "3");
        QCOMPARE(dialog->box(ids.n)->text(), "2");

        QLineEdit* cases = dialog->box(ids.chosenCases);
        cases->selectAll();
        QTest::keyClicks(cases, QStringLiteral("dos"));
        QLineEdit* variables = dialog->box(ids.chosenVariables);
        variables->selectAll();
        QTest::keyClicks(variables, QStringLiteral("99")); // larger than K
        QTest::mouseClick(button(dialog.get(), zento::IDOK), Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->accepted());
        auto* message = dialog->findChild<QMessageBox*>();
        QVERIFY(message);
        QCOMPARE(message->text(), "Escriba un número entero.");
        QCOMPARE(dialog->focusWidget(), cases);
        message->close();

        cases->selectAll();
        QTest::keyClicks(cases, QStringLiteral("1"));
        QTest::keyClick(cases, Qt::Key_Return); // the default button
        QVERIFY(!dialog->isVisible());
        QVERIFY(dialog->accepted());
        QCOMPARE(dialog->selection().chosenVariables, 99);
        QCOMPARE(dialog->selection().chosenCases, 1);
    }

    void cancelAfterPick_data() { bothDialogs(); }
    void cancelAfterPick() {
        QFETCH(bool, model);
        const auto dialog = makeDialog(model);
        dialog->setFilePicker(picking({dataFile("dlg_ejemplo.txt")}));
        dialog->open();
        include(*dialog);
        QTest::mouseClick(button(dialog.get(), zento::IDCANCEL), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QVERIFY(!dialog->accepted());
        QCOMPARE(dialog->selection().path, dataFilePath(dataFile("dlg_ejemplo.txt")));
        QCOMPARE(dialog->selection().K, 0);
    }

    void unreadableFileIsReported_data() { bothDialogs(); }
    void unreadableFileIsReported() {
        QFETCH(bool, model);
        const auto dialog = makeDialog(model);
        const QString missing = dataFile("dlg_no_existe.txt");
        dialog->setFilePicker(picking({dataFile("dlg_ejemplo.txt"), missing}));
        dialog->open();
        include(*dialog);
        const QStringList before = shown(*dialog, model);
        include(*dialog);
        QCOMPARE(shown(*dialog, model), before);
        auto* message = dialog->findChild<QMessageBox*>();
        QVERIFY(message);
        zento::DataError expected;
        expected.kind = zento::DataErrorKind::Unreadable;
        expected.path = dataFilePath(missing);
        expected.systemError = ENOENT;
        QCOMPARE(message->text(), QString::fromStdString(zento::DescribeDataError(expected)));
        message->close();
        QTest::mouseClick(button(dialog.get(), zento::IDOK), Qt::LeftButton);
        QCOMPARE(dialog->selection().path, dataFilePath(dataFile("dlg_ejemplo.txt")));
    }

    // A slow scan shows its progress and can be cancelled; the dialog keeps running meanwhile
    // and is left as it was.
    void slowScanCanBeCancelled() {
        CCargarModelos dialog;
        dialog.setFilePicker(picking({dataFile("dlg_ejemplo.txt"), dataFile("dlg_vacio.txt")}));
        dialog.open();
        include(dialog);
        const QStringList before = shown(dialog, true);

        std::atomic<bool> stopped = false;
        dialog.setScanner([&stopped](const std::string& path, const zento::ScanProgress& progress) {
            for (int i = 0; i < 1000; ++i) {
                if (!progress(i, 1000)) {
                    stopped = true;
                    zento::DataError error;
                    error.kind = zento::DataErrorKind::Cancelled;
                    error.path = path;
                    return zento::Result<zento::ScanCounts>(error);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            return zento::Result<zento::ScanCounts>(zento::ScanCounts{});
        });
        bool sawProgress = false;
        int ticks = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            ++ticks;
            auto* progress = dialog.findChild<QProgressDialog*>();
            if (progress && progress->isVisible() && !sawProgress) {
                sawProgress = true;
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
            }
        });
        watch.start(50);
        include(dialog);
        watch.stop();

        QVERIFY(sawProgress);
        QVERIFY(stopped);
        QVERIFY(ticks >= 5);
        QCOMPARE(shown(dialog, true), before);
        QVERIFY(!dialog.findChild<QMessageBox*>()); // the user's own cancel needs no message
        QVERIFY(dialog.isVisible());
    }

private:
    static void bothDialogs() {
        QTest::addColumn<bool>("model");
        QTest::newRow("CCargarDatos") << false;
        QTest::newRow("CCargarModelos") << true;
    }
};

QTEST_MAIN(TestCargarDialogs)
#include "tst_cargardialogs.moc"
