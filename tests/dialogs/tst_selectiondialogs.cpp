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

    // Caption (as the platform receives it) and size, and one control's place, in dialog units;
    // the texts of the buttons and labels; the tab order by control id, marking the read-only
    // boxes and the default button.
    void templates_data() {
        QTest::addColumn<bool>("model");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("incluir");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("tabs");
        QTest::newRow("CCargarDatos")
            << false << "Generación de Datos para WinBUGS" << QSize(308, 94)
            << QRect(246, 23, 54, 14)
            << QStringList{"Aceptar",          "Cancelar",           "Variables (K)", "Casos (N)",
                           "Incluir Datos...", "Variables a elegir", "Casos a elegir"}
            << "1* 2 1000r 1001r 1002r 1003 1004 1005";
        QTest::newRow("CCargarModelos")
            << true << "Generación del Modelo de Regresión Binaria para WinBUGS" << QSize(315, 105)
            << QRect(241, 22, 67, 14)
            << QStringList{"Aceptar",          "Cancelar",           "Variables (K)", "Casos  (N)",
                           "Incluir Datos...", "Variables a Elegir", "Casos a Elegir"}
            << "1* 2 1006r 1007r 1008r 1003 1010 1011";
    }
    void templates() {
        QFETCH(bool, model);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QFETCH(QRect, incluir);
        QFETCH(QStringList, texts);
        QFETCH(QString, tabs);
        const Dialog dialog(model);
        dialog.open({});
        QCOMPARE(dialog.window->windowHandle()->title(), caption);
        const zento::DialogUnits units(dialog.window->font());
        QCOMPARE(dialog.window->size(), units.size(size.width(), size.height()));
        QCOMPARE(dialog.control(IDC_INCLUIR_DATOS)->geometry(),
                 units.rect(incluir.x(), incluir.y(), incluir.width(), incluir.height()));
        QStringList shownTexts;
        for (const QObject* child : dialog.window->children()) {
            if (const auto* label = qobject_cast<const QLabel*>(child))
                shownTexts << label->text();
            else if (const auto* button = qobject_cast<const QPushButton*>(child))
                shownTexts << button->text();
        }
        QCOMPARE(shownTexts, texts);
        QStringList chain; // by tabbing from "Aceptar"
        for (QWidget* widget = dialog.control(zento::IDOK); chain.size() < 8;
             widget = widget->nextInFocusChain()) {
            const auto* edit = qobject_cast<const QLineEdit*>(widget);
            const auto* button = qobject_cast<const QPushButton*>(widget);
            if (widget->focusPolicy() & Qt::TabFocus)
                chain << widget->property(zento::kControlIdProperty).toString() +
                             (edit && edit->isReadOnly() ? "r" : "") +
                             (button && button->isDefault() ? "*" : "");
        }
        QCOMPARE(chain.join(u' '), tabs);
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
        QTest::newRow("CCargarModelos, close box") << true << QStringLiteral("close box");
    }
    void run() {
        QFETCH(bool, model);
        QFETCH(QString, end);
        const Dialog dialog(model);
        const QString missing = dataFile("dlg_no_existe.txt");
        const QString example = dataFile("dlg_ejemplo.txt");
        dialog.open({dataFile("dlg_vacio.txt"), std::nullopt, example, missing});
        // A new dialog shows zeros; the data dialog keeps no number for N, so its N box is empty.
        QCOMPARE(dialog.shown(), (QStringList{"", "0", model ? "0" : "", "0", "0"}));
        dialog.click(IDC_INCLUIR_DATOS);
        QCOMPARE(dialog.shown(), shownFile(dataFile("dlg_vacio.txt"), "1", "-1"));
        dialog.click(IDC_INCLUIR_DATOS); // a cancelled file dialog changes nothing
        QCOMPARE(dialog.shown(), shownFile(dataFile("dlg_vacio.txt"), "1", "-1"));
        dialog.box(dialog.ids.chosenCasesBox)->setText(QStringLiteral("4"));
        dialog.click(IDC_INCLUIR_DATOS); // replaces all five boxes
        QCOMPARE(dialog.shown(), shownFile(example, "3", "2"));
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

    // After a pick "Aceptar" has the focus, so Enter takes the counts proposed; a header that
    // looks comma-separated is warned about, its counts shown all the same.
    void pickThenEnter() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("datos.csv"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("y,x1,x2\n1,0.5,2\n");
        file.close();
        for (const bool model : {false, true}) {
            const Dialog dialog(model);
            dialog.open({csv});
            QVERIFY(QTest::qWaitForWindowActive(dialog.window.get()));
            dialog.click(IDC_INCLUIR_DATOS);
            QCOMPARE(dialog.shown(), shownFile(csv, "1", "1"));
            QCOMPARE(dialog.message()->text(),
                     QString::fromStdString(zento::DescribeHeaderSeparator(
                         zento::HeaderSeparator::Comma, dataFilePath(csv))));
            delete dialog.message();
            QCOMPARE(QApplication::focusWidget(), dialog.control(zento::IDOK));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY(dialog.window->accepted());
            QCOMPARE(dialog.window->selection().chosenCases, 1);
        }
    }
};

QTEST_MAIN(TestSelectionDialogs)
#include "tst_selectiondialogs.moc"
