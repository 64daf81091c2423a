// The two selection dialogs: what their number boxes take, their logic without a window, and the
// windows run through their buttons with a file picker and a scanner standing in for the real
// ones.
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
#include <limits>
#include <memory>
#include <thread>
#include <tuple>

namespace {

QString dataFile(const char* name) {
    return QStringLiteral(ZENTO_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

const SelectionLayout& layoutOf(bool model) {
    return model ? kCargarModelosLayout : kCargarDatosLayout;
}

// Path, K, N, chosen variables and chosen cases as they are after including a file.
QStringList shownFile(const char* name, const char* k, const char* n) {
    return {QDir::toNativeSeparators(dataFile(name)), k, n, k, n};
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
    QPushButton* button(int id) const { return qobject_cast<QPushButton*>(control(id)); }
    QLineEdit* box(int id) const { return window->box(id); }
    void click(int id) const { QTest::mouseClick(button(id), Qt::LeftButton); }
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
    void wholeNumbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<int>>("value");
        const std::pair<const char*, int> whole[] = {
            {"0", 0},
            {" \t-12  ", -12},
            {"+007", 7},
            {"2147483647", std::numeric_limits<int>::max()},
            {"-2147483648", std::numeric_limits<int>::min()}};
        for (const auto& [text, value] : whole)
            QTest::addRow("'%s'", text) << QString::fromLatin1(text) << std::optional(value);
        for (const char* text : {"2147483648", "-2147483649", "99999999999999999999999", "", "   ",
                                 "-", "abc", "12a", "1.5", "--1", "1 2", "- 1"})
            QTest::addRow("'%s'", text) << QString::fromLatin1(text) << std::optional<int>();
        QTest::newRow("other digits") << QStringLiteral("\u0663") << std::optional<int>();
    }
    void wholeNumbers() {
        QFETCH(QString, text);
        QFETCH(std::optional<int>, value);
        QCOMPARE(zento::parseWholeNumber(text), value);
    }

    // Without a window, for both reading orders: a file that cannot be read changes no box; the
    // members change only on "Aceptar", which takes numbers as typed and names the first bad box
    // in the dialog's order.
    void logic_data() {
        QTest::addColumn<bool>("model");
        QTest::newRow("CCargarDatos") << false;
        QTest::newRow("CCargarModelos") << true;
    }
    void logic() {
        QFETCH(bool, model);
        const SelectionLayout& ids = layoutOf(model);
        SelectionLogic logic(ids);
        QVERIFY(logic.includeData(dataFile("dlg_ejemplo.txt")));
        const zento::BoxTexts before = logic.boxes();
        QVERIFY(!logic.includeData(dataFile("dlg_no_existe.txt"))); // changes nothing
        QCOMPARE(logic.boxes(), before);
        QCOMPARE(selected(logic.selection()), selected({examplePath()}));
        logic.setBoxText(ids.chosenVariablesBox, QStringLiteral("x"));
        logic.setBoxText(ids.chosenCasesBox, QStringLiteral("y"));
        QCOMPARE(logic.accept(), model ? ids.chosenCasesBox : ids.chosenVariablesBox);
        QVERIFY(!logic.accepted());
        logic.setBoxText(ids.chosenVariablesBox, QStringLiteral("99"));
        logic.setBoxText(ids.chosenCasesBox, QStringLiteral("-1"));
        QCOMPARE(logic.accept(), std::nullopt);
        QVERIFY(logic.accepted());
        QCOMPARE(selected(logic.selection()), selected({examplePath(), 3, model ? 2 : 0, 99, -1}));
    }

    // Caption and size, and one control's place, in dialog units; the texts of the buttons and
    // labels; the tab order by control id, marking the read-only boxes and the default button.
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
        QCOMPARE(dialog.window->windowTitle(), caption);
        const zento::DialogUnits units(dialog.window->font());
        QCOMPARE(dialog.window->size(), units.size(size.width(), size.height()));
        QCOMPARE(dialog.button(IDC_INCLUIR_DATOS)->geometry(),
                 units.rect(incluir.x(), incluir.y(), incluir.width(), incluir.height()));
        QStringList shownTexts;
        for (const QObject* child : dialog.window->children()) {
            if (const auto* label = qobject_cast<const QLabel*>(child))
                shownTexts << label->text();
            else if (const auto* button = qobject_cast<const QPushButton*>(child))
                shownTexts << button->text();
        }
        QCOMPARE(shownTexts, texts);
        QStringList chain;
        QWidget* widget = dialog.control(zento::IDOK);
        do {
            const auto* edit = qobject_cast<const QLineEdit*>(widget);
            const auto* button = qobject_cast<const QPushButton*>(widget);
            chain << widget->property(zento::kControlIdProperty).toString() +
                         (edit && edit->isReadOnly() ? "r" : "") +
                         (button && button->isDefault() ? "*" : "");
            do
                widget = widget->nextInFocusChain();
            while (!(widget->focusPolicy() & Qt::TabFocus));
        } while (widget != dialog.control(zento::IDOK) && chain.size() < 20);
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
        dialog.open(
            {dataFile("dlg_vacio.txt"), std::nullopt, dataFile("dlg_ejemplo.txt"), missing});
        // A new dialog shows zeros; the data dialog keeps no number for N, so its N box is empty.
        QCOMPARE(dialog.shown(), (QStringList{"", "0", model ? "0" : "", "0", "0"}));
        dialog.click(IDC_INCLUIR_DATOS);
        QCOMPARE(dialog.shown(), shownFile("dlg_vacio.txt", "1", "-1")); // an empty file
        dialog.click(IDC_INCLUIR_DATOS); // a cancelled file dialog changes nothing
        QCOMPARE(dialog.shown(), shownFile("dlg_vacio.txt", "1", "-1"));
        dialog.box(dialog.ids.chosenCasesBox)->setText(QStringLiteral("4"));
        dialog.click(IDC_INCLUIR_DATOS); // replaces all five boxes
        QCOMPARE(dialog.shown(), shownFile("dlg_ejemplo.txt", "3", "2"));
        dialog.click(IDC_INCLUIR_DATOS); // reported, and no box changes
        QCOMPARE(dialog.shown(), shownFile("dlg_ejemplo.txt", "3", "2"));
        QVERIFY(dialog.message());
        QVERIFY(
            dialog.message()->text().contains(QDir::toNativeSeparators(missing) + "\": no existe"));
        delete dialog.message();

        QTest::keyClicks(dialog.box(dialog.ids.kBox), QStringLiteral("7")); // read-only
        QLineEdit* cases = dialog.box(dialog.ids.chosenCasesBox);
        cases->selectAll();
        QTest::keyClicks(cases, QStringLiteral("dos"));
        QLineEdit* variables = dialog.box(dialog.ids.chosenVariablesBox);
        variables->selectAll();
        QTest::keyClicks(variables, QStringLiteral("99"));
        if (end == "Aceptar") {
            dialog.click(zento::IDOK);
            QVERIFY(dialog.window->isVisible());
            QVERIFY(dialog.message());
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
                 end == "Aceptar" ? selected({examplePath(), 3, model ? 2 : 0, 99, 1})
                                  : selected({examplePath()}));
    }

    // A scan that takes longer than about half a second shows its progress and can be
    // cancelled; the dialog keeps running meanwhile and is left as it was, without a message.
    void slowScanCanBeCancelled() {
        using Clock = std::chrono::steady_clock;
        const Dialog dialog(true);
        dialog.open({dataFile("dlg_ejemplo.txt"), dataFile("dlg_vacio.txt")});
        dialog.click(IDC_INCLUIR_DATOS);
        dialog.window->setScanner([](const std::string&, const zento::ScanProgress& progress) {
            for (int i = 0; i < 1000 && progress(i, 1000); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            zento::DataError cancelled;
            cancelled.kind = zento::DataErrorKind::Cancelled;
            return zento::Result<zento::ScanCounts>(cancelled);
        });
        int ticks = 0;
        std::optional<Clock::time_point> shown;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            ++ticks;
            if (auto* progress = dialog.window->findChild<QProgressDialog*>();
                progress && progress->isVisible() && !shown) {
                shown = Clock::now();
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
            }
        });
        watch.start(50);
        const auto started = Clock::now();
        dialog.click(IDC_INCLUIR_DATOS);
        QVERIFY(shown && *shown - started > std::chrono::milliseconds(400));
        QVERIFY(Clock::now() - started < std::chrono::seconds(5));
        QVERIFY(ticks >= 5);
        QCOMPARE(dialog.shown(), shownFile("dlg_ejemplo.txt", "3", "2"));
        QVERIFY(!dialog.message());
    }
};

QTEST_MAIN(TestSelectionDialogs)
#include "tst_selectiondialogs.moc"
