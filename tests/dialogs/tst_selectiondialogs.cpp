// The two selection dialogs: what their number boxes take, their logic without a window (which
// refuses exactly the counts the command would refuse), and the windows run through their
// buttons with a file picker and a scanner standing in for the real ones.
#include "datafile/headerseparator.h"
#include "dialogs/cargardatos.h"
#include "dialogs/cargarmodelos.h"
#include "framework/dialogunits.h"
#include "winbugs/models.h"
#include "winbugs/rectangulardata.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <limits>
#include <memory>
#include <tuple>

namespace {

QString dataFile(const char* name) {
    return QStringLiteral(ZENTO_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

const SelectionLayout& layoutOf(bool model) {
    return model ? kCargarModelosLayout : kCargarDatosLayout;
}

// Path, K, N, chosen variables and chosen cases as they are after including a file.
QStringList shownFile(const QString& path, const char* k, const char* n) {
    return {QDir::toNativeSeparators(path), k, n, k, n};
}

auto selected(const zento::DataSelection& s) {
    return std::tuple(QString::fromStdString(s.path), s.K, s.N, s.chosenVariables, s.chosenCases);
}
std::string examplePath() {
    return dataFilePath(dataFile("dlg_ejemplo.txt"));
}

// A dialog window; each "Incluir Datos..." picks the next of the files given to open() (nullopt:
// the file dialog was cancelled).
struct Dialog {
    std::unique_ptr<SelectionDialog> window;
    const SelectionLayout& ids;

    explicit Dialog(bool model)
        : window(model ? std::unique_ptr<SelectionDialog>(std::make_unique<CCargarModelos>())
                       : std::make_unique<CCargarDatos>()),
          ids(layoutOf(model)) {}

    QWidget* control(int id) const { return zento::findControl(window.get(), id); }
    QLineEdit* box(int id) const { return window->box(id); }
    void click(int id) const {
        QTest::mouseClick(qobject_cast<QPushButton*>(control(id)), Qt::LeftButton);
    }
    QStringList shown() const {
        return {box(ids.pathBox)->text(), box(ids.kBox)->text(), box(ids.nBox)->text(),
                box(ids.chosenVariablesBox)->text(), box(ids.chosenCasesBox)->text()};
    }
    QMessageBox* message() const { return window->findChild<QMessageBox*>(); }
    void open(QList<std::optional<QString>> picks) const {
        window->setFilePicker([picks](QWidget*) mutable {
            return picks.isEmpty() ? std::nullopt : picks.takeFirst();
        });
        window->open();
    }
};

} // namespace

class TestSelectionDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // What a number box takes on "Aceptar": a whole decimal number within 32 bits.
    void wholeNumbers() {
        const std::pair<const char*, int> whole[] = {
            {"0", 0},
            {" \t-12  ", -12},
            {"+007", 7},
            {"2147483647", std::numeric_limits<int>::max()},
            {"-2147483648", std::numeric_limits<int>::min()}};
        for (const auto& [text, value] : whole)
            QCOMPARE(zento::parseWholeNumber(QString::fromLatin1(text)), value);
        for (const char* text : {"2147483648", "-2147483649", "99999999999999999999999", "", "   ",
                                 "-", "abc", "12a", "1.5", "--1", "1 2", "- 1", "\u0663"})
            QVERIFY2(!zento::parseWholeNumber(QString::fromUtf8(text)), text);
    }

    // Without a window: "Aceptar" takes the numbers as typed and names the first bad box in the
    // dialog's order; with a file included, counts it cannot satisfy keep the dialog open with
    // the command's own refusal on the box to correct, and only those (V > K included).
    void logic_data() {
        QTest::addColumn<bool>("model");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("variables");
        QTest::addColumn<int>("cases");
        QTest::addColumn<int>("refusedBox"); // 0: accepted
        const int max = std::numeric_limits<int>::max();
        const auto row = [](bool model, const char* file, int variables, int cases, int box) {
            QTest::addRow("%s %s %d %d", model ? "CCargarModelos" : "CCargarDatos", file, variables,
                          cases)
                << model << dataFile(file) << variables << cases << box;
        };
        const char* example = "dlg_ejemplo.txt"; // K 3, N 2: 9 tokens
        row(false, example, 3, 2, 0);
        row(false, example, 4, 1, 0);
        row(false, example, -1, -5, 0);
        row(false, example, 3, 3, IDC_DATOS_CHOSEN_CASES);
        row(false, example, 5, 1, IDC_DATOS_CHOSEN_CASES);
        row(false, example, 10, 0, IDC_DATOS_CHOSEN_VARIABLES);
        row(false, example, max, max, IDC_DATOS_CHOSEN_VARIABLES);
        row(false, "dlg_vacio.txt", 1, -1, IDC_DATOS_CHOSEN_VARIABLES);
        row(true, example, 9, max, 0);
        row(true, example, -3, 2, 0);
        row(true, example, 10, 2, IDC_MODELOS_CHOSEN_VARIABLES);
        row(true, "dlg_vacio.txt", 1, -1, IDC_MODELOS_CHOSEN_VARIABLES);
    }
    void logic() {
        QFETCH(bool, model);
        QFETCH(QString, file);
        QFETCH(int, variables);
        QFETCH(int, cases);
        QFETCH(int, refusedBox);
        const SelectionLayout& ids = layoutOf(model);
        SelectionLogic logic(ids);
        QVERIFY(logic.includeData(file));
        const zento::BoxTexts before = logic.boxes();
        QVERIFY(!logic.includeData(dataFile("dlg_no_existe.txt"))); // changes nothing
        QCOMPARE(logic.boxes(), before);
        logic.setBoxText(ids.chosenVariablesBox, QStringLiteral("x"));
        logic.setBoxText(ids.chosenCasesBox, QStringLiteral("y"));
        QCOMPARE(logic.accept()->controlId, model ? ids.chosenCasesBox : ids.chosenVariablesBox);
        logic.setBoxText(ids.chosenVariablesBox, QString::number(variables));
        logic.setBoxText(ids.chosenCasesBox, QString::number(cases));
        const auto refusal = logic.accept();
        QCOMPARE(logic.accepted(), !refusal);
        QCOMPARE(refusal ? refusal->controlId : 0, refusedBox);
        const zento::DataSelection chosen = logic.selection();
        QCOMPARE(chosen.chosenVariables, variables);
        QCOMPARE(chosen.chosenCases, cases);
        std::optional<zento::DataError> command;
        if (const auto names = zento::ReadModelNames(chosen.path, variables); model && !names)
            command = names.error();
        if (const auto text = zento::BuildRectangularData(chosen); !model && !text)
            command = text.error();
        QCOMPARE(refusal.has_value(), command.has_value());
        if (refusal)
            QCOMPARE(refusal->message, QString::fromStdString(DescribeDataError(*command)));
    }

    // The caption as the platform receives it and the size in dialog units; every control in
    // template order, which is also the tab order: its id, "r" when read-only, "*" for the
    // default button, its text.
    void templates() {
        const QList<std::tuple<bool, QString, QSize, QString>> table = {
            {false,
             "Generación de Datos para WinBUGS",
             {308, 94},
             "1*Aceptar 2Cancelar 1000r Variables (K) 1001r Casos (N) 1002r 1003Incluir Datos... "
             "Variables a elegir 1004 Casos a elegir 1005"},
            {true,
             "Generación del Modelo de Regresión Binaria para WinBUGS",
             {315, 105},
             "1*Aceptar 2Cancelar 1006r Variables (K) 1007r Casos  (N) 1008r 1003Incluir "
             "Datos... Variables a Elegir 1010 Casos a Elegir 1011"},
        };
        for (const auto& [model, caption, size, controls] : table) {
            const Dialog dialog(model);
            dialog.open({});
            QCOMPARE(dialog.window->windowHandle()->title(), caption);
            const zento::DialogUnits units(dialog.window->font());
            QCOMPARE(dialog.window->size(), units.size(size.width(), size.height()));
            QStringList shown;
            QWidget* tab = dialog.control(zento::IDOK);
            for (QWidget* control :
                 dialog.window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                const auto* edit = qobject_cast<const QLineEdit*>(control);
                const auto* button = qobject_cast<const QPushButton*>(control);
                const auto* label = qobject_cast<const QLabel*>(control);
                shown << control->property(zento::kControlIdProperty).toString() +
                             (edit && edit->isReadOnly() ? "r" : "") +
                             (button && button->isDefault() ? "*" : "") +
                             (button  ? button->text()
                              : label ? label->text()
                                      : "");
                if (!(control->focusPolicy() & Qt::TabFocus))
                    continue;
                QCOMPARE(tab, control);
                do
                    tab = tab->nextInFocusChain();
                while (!(tab->focusPolicy() & Qt::TabFocus));
            }
            QCOMPARE(shown.join(u' '), controls);
        }
    }

    // A run through the buttons: picks (one cancelled, one unreadable), then letters refused and a
    // number beyond K taken as typed by "Aceptar", or nothing read by the other ways out.
    void run_data() {
        QTest::addColumn<bool>("model");
        QTest::addColumn<QString>("end");
        for (const bool model : {false, true})
            QTest::addRow("%s, Aceptar", model ? "CCargarModelos" : "CCargarDatos")
                << model << QStringLiteral("Aceptar");
        QTest::newRow("CCargarDatos, Cancelar") << false << QStringLiteral("Cancelar");
        QTest::newRow("CCargarModelos, Esc") << true << QStringLiteral("Esc");
        QTest::newRow("CCargarDatos, Enter after the pick") << false << QStringLiteral("Enter");
        QTest::newRow("CCargarModelos, close box") << true << QStringLiteral("close box");
    }
    void run() {
        QFETCH(bool, model);
        QFETCH(QString, end);
        const Dialog dialog(model);
        const QString missing = dataFile("dlg_no_existe.txt");
        const QString example = dataFile("dlg_ejemplo.txt");
        const QString csv = dataFile("dlg_comas.txt");
        dialog.open({dataFile("dlg_vacio.txt"), std::nullopt, csv, example, missing});
        // A new dialog shows zeros; the data dialog keeps no number for N, so its N box is empty.
        QCOMPARE(dialog.shown(), (QStringList{"", "0", model ? "0" : "", "0", "0"}));
        dialog.click(IDC_INCLUIR_DATOS);
        QCOMPARE(dialog.shown(), shownFile(dataFile("dlg_vacio.txt"), "1", "-1"));
        dialog.click(IDC_INCLUIR_DATOS); // a cancelled file dialog changes nothing
        QCOMPARE(dialog.shown(), shownFile(dataFile("dlg_vacio.txt"), "1", "-1"));
        dialog.click(IDC_INCLUIR_DATOS); // its counts shown, and a warning
        QCOMPARE(dialog.shown(), shownFile(csv, "1", "1"));
        QCOMPARE(dialog.message()->text(), QString::fromStdString(zento::DescribeHeaderSeparator(
                                               zento::HeaderSeparator::Comma, dataFilePath(csv))));
        delete dialog.message();
        dialog.box(dialog.ids.chosenCasesBox)->setText(QStringLiteral("4"));
        dialog.click(IDC_INCLUIR_DATOS); // replaces all five boxes; Enter now accepts
        QCOMPARE(dialog.shown(), shownFile(example, "3", "2"));
        QCOMPARE(dialog.window->focusWidget(), dialog.control(zento::IDOK));
        if (end == "Enter") {
            QTest::keyClick(dialog.window->focusWidget(), Qt::Key_Return);
            QCOMPARE(selected(dialog.window->selection()), selected({examplePath(), 3, 0, 3, 2}));
            return;
        }
        dialog.click(IDC_INCLUIR_DATOS); // reported, and no box changes
        QCOMPARE(dialog.shown(), shownFile(example, "3", "2"));
        QVERIFY(
            dialog.message()->text().contains(QDir::toNativeSeparators(missing) + "\": no existe"));
        delete dialog.message();
        QTest::keyClicks(dialog.box(dialog.ids.kBox), QStringLiteral("7")); // read-only
        QLineEdit* cases = dialog.box(dialog.ids.chosenCasesBox);
        cases->selectAll();
        QTest::keyClicks(cases, QStringLiteral("dos"));
        QLineEdit* variables = dialog.box(dialog.ids.chosenVariablesBox);
        variables->selectAll();
        QTest::keyClicks(variables, QStringLiteral("4"));
        if (end == "Aceptar") {
            dialog.click(zento::IDOK);
            QVERIFY(dialog.window->isVisible());
            QCOMPARE(dialog.message()->text(), "Escriba un número entero.");
            QCOMPARE(dialog.window->focusWidget(), cases);
            QCOMPARE(cases->selectedText(), "dos");
            delete dialog.message();
            QTest::keyClicks(cases, QStringLiteral("1"));
            QTest::keyClick(cases, Qt::Key_Return); // the default button
        } else if (end == "Cancelar") {
            dialog.click(zento::IDCANCEL);
        } else if (end == "Esc") {
            QTest::keyClick(dialog.window.get(), Qt::Key_Escape);
        } else {
            dialog.window->close();
        }
        QVERIFY(!dialog.window->isVisible());
        QVERIFY(!dialog.message());
        QCOMPARE(dialog.window->accepted(), end == "Aceptar");
        QCOMPARE(selected(dialog.window->selection()),
                 end == "Aceptar" ? selected({examplePath(), 3, model ? 2 : 0, 4, 1})
                                  : selected({examplePath()}));
    }

    // A picked file named in any script is read, shown and handed on under its own name: the
    // core takes paths as UTF-8.
    void pathInAnyScript() {
        const QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Müller/Año 2026")));
        const QString file = dir.filePath(QStringLiteral("Müller/Año 2026/α β.txt"));
        QVERIFY(QFile::copy(dataFile("dlg_ejemplo.txt"), file));
        SelectionLogic logic(kCargarDatosLayout);
        QVERIFY(logic.includeData(file));
        QCOMPARE(logic.boxes().at(kCargarDatosLayout.pathBox), QDir::toNativeSeparators(file));
        QCOMPARE(logic.selection().path, QDir::toNativeSeparators(file).toUtf8().toStdString());
    }
};

QTEST_MAIN(TestSelectionDialogs)
#include "tst_selectiondialogs.moc"
