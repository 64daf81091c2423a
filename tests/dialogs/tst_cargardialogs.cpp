// The two selection dialogs as windows: their templates, and runs driven through the buttons
// with a file picker and a scanner standing in for the real ones.
#include "dialogs/cargardatos.h"
#include "dialogs/cargarmodelos.h"
#include "framework/dialogunits.h"

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

struct Dialog {
    std::unique_ptr<SelectionDialog> window;
    SelectionLayout ids;

    explicit Dialog(bool model)
        : window(model ? std::unique_ptr<SelectionDialog>(std::make_unique<CCargarModelos>())
                       : std::make_unique<CCargarDatos>()),
          ids(model ? kCargarModelosLayout : kCargarDatosLayout) {}

    QPushButton* button(int id) const {
        return qobject_cast<QPushButton*>(zento::findControl(window.get(), id));
    }
    QLineEdit* box(int id) const { return window->box(id); }
    void click(int id) const { QTest::mouseClick(button(id), Qt::LeftButton); }
    QStringList shown() const {
        return {box(ids.pathBox)->text(), box(ids.kBox)->text(), box(ids.nBox)->text(),
                box(ids.chosenVariablesBox)->text(), box(ids.chosenCasesBox)->text()};
    }
    // Opens the dialog; each "Incluir Datos..." then picks the next file (nullopt: cancelled).
    void open(QList<std::optional<QString>> picks) const {
        window->setFilePicker([picks](QWidget*) mutable {
            return picks.isEmpty() ? std::nullopt : picks.takeFirst();
        });
        window->open();
    }
};

QStringList shownFile(const char* name, const char* k, const char* n) {
    return {QDir::toNativeSeparators(dataFile(name)), k, n, k, n};
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
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("CCargarDatos")
            << false << "Generación de Datos para WinBUGS" << QSize(308, 94)
            << QStringList{"Variables (K)", "Casos (N)", "Variables a elegir", "Casos a elegir"};
        QTest::newRow("CCargarModelos")
            << true << "Generación del Modelo de Regresión Binaria para WinBUGS" << QSize(315, 105)
            << QStringList{"Variables (K)", "Casos  (N)", "Variables a Elegir", "Casos a Elegir"};
    }
    void templates() {
        QFETCH(bool, model);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QFETCH(QStringList, labels);
        const Dialog dialog(model);
        QCOMPARE(dialog.window->windowTitle(), caption);
        const zento::DialogUnits units(dialog.window->font());
        QCOMPARE(dialog.window->size(), units.size(size.width(), size.height()));
        QCOMPARE(dialog.button(IDC_INCLUIR_DATOS)->geometry(),
                 model ? units.rect(241, 22, 67, 14) : units.rect(246, 23, 54, 14));
        QStringList texts;
        for (const QLabel* label : dialog.window->findChildren<QLabel*>())
            texts.append(label->text());
        QCOMPARE(texts, labels);
        QVERIFY(dialog.button(zento::IDOK)->isDefault());
        QCOMPARE(dialog.button(zento::IDOK)->text(), "Aceptar");
        QCOMPARE(dialog.button(zento::IDCANCEL)->text(), "Cancelar");

        // Tab order is template order; the path, K and N boxes are read-only.
        const QList<int> order{zento::IDOK,
                               zento::IDCANCEL,
                               dialog.ids.pathBox,
                               dialog.ids.kBox,
                               dialog.ids.nBox,
                               IDC_INCLUIR_DATOS,
                               dialog.ids.chosenVariablesBox,
                               dialog.ids.chosenCasesBox};
        QWidget* widget = dialog.button(zento::IDOK);
        for (const int id : order) {
            QCOMPARE(widget, zento::findControl(dialog.window.get(), id));
            auto* edit = qobject_cast<QLineEdit*>(widget);
            QCOMPARE(edit && edit->isReadOnly(),
                     id == dialog.ids.pathBox || id == dialog.ids.kBox || id == dialog.ids.nBox);
            do
                widget = widget->nextInFocusChain();
            while (!(widget->focusPolicy() & Qt::TabFocus));
        }
        QCOMPARE(widget, dialog.button(zento::IDOK));
    }

    void pickTypeAndAccept_data() { bothDialogs(); }
    void pickTypeAndAccept() {
        QFETCH(bool, model);
        const Dialog dialog(model);
        dialog.open({dataFile("dlg_cinco_casos.txt"), std::nullopt, dataFile("dlg_ejemplo.txt")});
        QCOMPARE(dialog.shown(), (QStringList{"", "0", model ? "0" : "", "0", "0"}));
        dialog.click(IDC_INCLUIR_DATOS);
        QCOMPARE(dialog.shown(), shownFile("dlg_cinco_casos.txt", "2", "5"));
        dialog.click(IDC_INCLUIR_DATOS); // a cancelled file dialog changes nothing
        QCOMPARE(dialog.shown(), shownFile("dlg_cinco_casos.txt", "2", "5"));
        dialog.click(IDC_INCLUIR_DATOS);
        QCOMPARE(dialog.shown(), shownFile("dlg_ejemplo.txt", "3", "2"));

        QTest::keyClicks(dialog.box(dialog.ids.kBox), QStringLiteral("7")); // read-only
        QLineEdit* cases = dialog.box(dialog.ids.chosenCasesBox);
        cases->selectAll();
        QTest::keyClicks(cases, QStringLiteral("dos"));
        QLineEdit* variables = dialog.box(dialog.ids.chosenVariablesBox);
        variables->selectAll();
        QTest::keyClicks(variables, QStringLiteral("99")); // more than K
        dialog.click(zento::IDOK);
        QVERIFY(dialog.window->isVisible());
        auto* message = dialog.window->findChild<QMessageBox*>();
        QVERIFY(message);
        QCOMPARE(message->text(), "Escriba un número entero.");
        QCOMPARE(dialog.window->focusWidget(), cases);
        QCOMPARE(cases->selectedText(), "dos");
        message->close();

        QTest::keyClicks(cases, QStringLiteral("1"));
        QTest::keyClick(cases, Qt::Key_Return); // the default button
        QVERIFY(!dialog.window->isVisible());
        QVERIFY(dialog.window->accepted());
        const zento::DataSelection selection = dialog.window->selection();
        QCOMPARE(selection.path, dataFilePath(dataFile("dlg_ejemplo.txt")));
        QCOMPARE(selection.K, 3);
        QCOMPARE(selection.N, model ? 2 : 0);
        QCOMPARE(selection.chosenVariables, 99);
        QCOMPARE(selection.chosenCases, 1);
    }

    void closingWithoutAceptar_data() {
        QTest::addColumn<bool>("model");
        QTest::addColumn<int>("how");
        QTest::newRow("CCargarDatos, Cancelar") << false << 0;
        QTest::newRow("CCargarModelos, Esc") << true << 1;
        QTest::newRow("CCargarModelos, close box") << true << 2;
    }
    void closingWithoutAceptar() {
        QFETCH(bool, model);
        QFETCH(int, how);
        const Dialog dialog(model);
        dialog.open({dataFile("dlg_ejemplo.txt")});
        dialog.click(IDC_INCLUIR_DATOS);
        dialog.box(dialog.ids.chosenCasesBox)->setText(QStringLiteral("letras"));
        if (how == 0)
            dialog.click(zento::IDCANCEL);
        else if (how == 1)
            QTest::keyClick(dialog.window.get(), Qt::Key_Escape);
        else
            dialog.window->close();
        QVERIFY(!dialog.window->isVisible());
        QVERIFY(!dialog.window->findChild<QMessageBox*>());
        QVERIFY(!dialog.window->accepted());
        QCOMPARE(dialog.window->selection().path, dataFilePath(dataFile("dlg_ejemplo.txt")));
        QCOMPARE(dialog.window->selection().K, 0);
    }

    void unreadableFileIsReported() {
        const Dialog dialog(false);
        const QString missing = dataFile("dlg_no_existe.txt");
        dialog.open({dataFile("dlg_ejemplo.txt"), missing});
        dialog.click(IDC_INCLUIR_DATOS);
        dialog.click(IDC_INCLUIR_DATOS);
        QCOMPARE(dialog.shown(), shownFile("dlg_ejemplo.txt", "3", "2"));
        auto* message = dialog.window->findChild<QMessageBox*>();
        QVERIFY(message);
        zento::DataError expected;
        expected.path = dataFilePath(missing);
        expected.systemError = ENOENT;
        QCOMPARE(message->text(), QString::fromStdString(zento::DescribeDataError(expected)));
    }

    // A slow scan shows its progress and can be cancelled; the dialog keeps running meanwhile
    // and is left as it was, without a message.
    void slowScanCanBeCancelled() {
        const Dialog dialog(true);
        dialog.open({dataFile("dlg_ejemplo.txt"), dataFile("dlg_vacio.txt")});
        dialog.click(IDC_INCLUIR_DATOS);
        dialog.window->setScanner([](const std::string& path, const zento::ScanProgress& progress) {
            for (int i = 0; i < 1000 && progress(i, 1000); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            zento::DataError cancelled;
            cancelled.kind = zento::DataErrorKind::Cancelled;
            cancelled.path = path;
            return zento::Result<zento::ScanCounts>(cancelled);
        });
        int ticks = 0;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            ++ticks;
            if (auto* progress = dialog.window->findChild<QProgressDialog*>();
                progress && progress->isVisible())
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        watch.start(50);
        const auto started = std::chrono::steady_clock::now();
        dialog.click(IDC_INCLUIR_DATOS);
        QVERIFY(std::chrono::steady_clock::now() - started < std::chrono::seconds(5));
        QVERIFY(ticks >= 5);
        QCOMPARE(dialog.shown(), shownFile("dlg_ejemplo.txt", "3", "2"));
        QVERIFY(!dialog.window->findChild<QMessageBox*>());
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
