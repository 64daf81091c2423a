// The selection dialogs' logic without a window, for both dialogs: what a new dialog shows,
// including a file, reading the numbers back, and the runs that end without "Aceptar".
#include "dialogs/selectionlogic.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace {

QString dataFile(const char* name) {
    return QStringLiteral(ZENTO_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

// Path, K, N, chosen variables, chosen cases, as the boxes show them.
QStringList shown(const SelectionLogic& logic) {
    const SelectionLayout& ids = logic.layout();
    return {logic.boxText(ids.pathBox), logic.boxText(ids.kBox), logic.boxText(ids.nBox),
            logic.boxText(ids.chosenVariablesBox), logic.boxText(ids.chosenCasesBox)};
}

QStringList shownFile(const char* name, const char* k, const char* n) {
    return {QDir::toNativeSeparators(dataFile(name)), k, n, k, n};
}

bool isModelDialog(const SelectionLogic& logic) {
    return logic.layout().pathBox == IDC_MODELOS_PATH;
}

} // namespace

Q_DECLARE_METATYPE(const SelectionLayout*)

class TestSelectionLogic : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void newDialog_data() { bothDialogs(); }
    void newDialog() {
        QFETCH(const SelectionLayout*, layout);
        SelectionLogic logic(*layout);
        logic.open();
        // The data dialog keeps no number for N, so its N box starts empty.
        const QString n = layout == &kCargarModelosLayout ? QStringLiteral("0") : QString();
        QCOMPARE(shown(logic), (QStringList{QString(), "0", n, "0", "0"}));
        QVERIFY(!logic.accepted());
        QCOMPARE(logic.selection().path, std::string());
    }

    void workedExample_data() { bothDialogs(); }
    void workedExample() {
        QFETCH(const SelectionLayout*, layout);
        SelectionLogic logic(*layout);
        logic.open();
        QVERIFY(logic.includeData(dataFile("dlg_ejemplo.txt")));
        QCOMPARE(shown(logic), shownFile("dlg_ejemplo.txt", "3", "2"));
        QCOMPARE(logic.selection().K, 0); // the members change only on "Aceptar"

        QCOMPARE(logic.accept(), std::nullopt);
        QVERIFY(logic.accepted());
        const zento::DataSelection selection = logic.selection();
        QCOMPARE(
            selection.path,
            QFile::encodeName(QDir::toNativeSeparators(dataFile("dlg_ejemplo.txt"))).toStdString());
        QCOMPARE(selection.K, 3);
        QCOMPARE(selection.N, isModelDialog(logic) ? 2 : 0);
        QCOMPARE(selection.chosenVariables, 3);
        QCOMPARE(selection.chosenCases, 2);
    }

    void emptyFile_data() { bothDialogs(); }
    void emptyFile() {
        QFETCH(const SelectionLayout*, layout);
        SelectionLogic logic(*layout);
        logic.open();
        QVERIFY(logic.includeData(dataFile("dlg_vacio.txt")));
        QCOMPARE(shown(logic), shownFile("dlg_vacio.txt", "1", "-1"));
        QCOMPARE(logic.accept(), std::nullopt);
        QCOMPARE(logic.selection().chosenCases, -1);
    }

    void secondPickReplacesEverything_data() { bothDialogs(); }
    void secondPickReplacesEverything() {
        QFETCH(const SelectionLayout*, layout);
        SelectionLogic logic(*layout);
        logic.open();
        QVERIFY(logic.includeData(dataFile("dlg_cinco_casos.txt")));
        QCOMPARE(shown(logic), shownFile("dlg_cinco_casos.txt", "2", "5"));
        logic.setBoxText(layout->chosenCasesBox, QStringLiteral("4"));
        QVERIFY(logic.includeData(dataFile("dlg_ejemplo.txt")));
        QCOMPARE(shown(logic), shownFile("dlg_ejemplo.txt", "3", "2"));
    }

    void failedScanChangesNothing_data() { bothDialogs(); }
    void failedScanChangesNothing() {
        QFETCH(const SelectionLayout*, layout);
        SelectionLogic logic(*layout);
        logic.open();
        QVERIFY(logic.includeData(dataFile("dlg_ejemplo.txt")));
        logic.setBoxText(layout->chosenVariablesBox, QStringLiteral("2"));
        const zento::BoxTexts before = logic.boxes();

        const zento::Status missing = logic.includeData(dataFile("dlg_no_existe.txt"));
        QVERIFY(!missing);
        QVERIFY(missing.error().kind != zento::DataErrorKind::Cancelled);
        QCOMPARE(logic.boxes(), before); // not K 1 and N -1

        zento::DataError cancelled;
        cancelled.kind = zento::DataErrorKind::Cancelled;
        QVERIFY(!logic.includeData(dataFile("dlg_cinco_casos.txt"), cancelled));
        QCOMPARE(logic.boxes(), before);

        QCOMPARE(logic.accept(), std::nullopt);
        QCOMPARE(logic.selection().path, dataFilePath(dataFile("dlg_ejemplo.txt")));
        QCOMPARE(logic.selection().chosenVariables, 2);
    }

    // Anything but a whole number keeps the dialog open and names the first bad box in
    // binding order: the two dialogs read their boxes in different orders.
    void badNumbers_data() {
        QTest::addColumn<const SelectionLayout*>("layout");
        QTest::addColumn<QString>("chosenVariables");
        QTest::addColumn<QString>("chosenCases");
        QTest::addColumn<int>("refused");
        const auto* data = &kCargarDatosLayout;
        const auto* model = &kCargarModelosLayout;
        QTest::newRow("data: letters in cases") << data << "3"
                                                << "dos" << int(IDC_DATOS_CHOSEN_CASES);
        QTest::newRow("data: both bad") << data << "x"
                                        << "y" << int(IDC_DATOS_CHOSEN_VARIABLES);
        QTest::newRow("data: empty") << data << ""
                                     << "2" << int(IDC_DATOS_CHOSEN_VARIABLES);
        QTest::newRow("model: letters in cases") << model << "3"
                                                 << "dos" << int(IDC_MODELOS_CHOSEN_CASES);
        QTest::newRow("model: both bad") << model << "x"
                                         << "y" << int(IDC_MODELOS_CHOSEN_CASES);
        QTest::newRow("model: decimal") << model << "1.5"
                                        << "2" << int(IDC_MODELOS_CHOSEN_VARIABLES);
    }
    void badNumbers() {
        QFETCH(const SelectionLayout*, layout);
        QFETCH(QString, chosenVariables);
        QFETCH(QString, chosenCases);
        QFETCH(int, refused);
        SelectionLogic logic(*layout);
        logic.open();
        QVERIFY(logic.includeData(dataFile("dlg_ejemplo.txt")));
        logic.setBoxText(layout->chosenVariablesBox, chosenVariables);
        logic.setBoxText(layout->chosenCasesBox, chosenCases);
        QCOMPARE(logic.accept(), std::optional<int>(refused));
        QVERIFY(!logic.accepted());
    }

    // No range check: the chosen numbers arrive exactly as typed.
    void numbersTakenAsTyped_data() {
        QTest::addColumn<const SelectionLayout*>("layout");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        for (const auto* layout : {&kCargarDatosLayout, &kCargarModelosLayout}) {
            const char* name = layout == &kCargarDatosLayout ? "data" : "model";
            QTest::addRow("%s: larger than K", name) << layout << "99" << 99;
            QTest::addRow("%s: zero", name) << layout << "0" << 0;
            QTest::addRow("%s: negative", name) << layout << "-4" << -4;
        }
    }
    void numbersTakenAsTyped() {
        QFETCH(const SelectionLayout*, layout);
        QFETCH(QString, typed);
        QFETCH(int, value);
        SelectionLogic logic(*layout);
        logic.open();
        QVERIFY(logic.includeData(dataFile("dlg_ejemplo.txt")));
        logic.setBoxText(layout->chosenVariablesBox, typed);
        QCOMPARE(logic.accept(), std::nullopt);
        QCOMPARE(logic.selection().chosenVariables, value);
        QCOMPARE(logic.selection().K, 3);
    }

    void cancelAfterPick_data() { bothDialogs(); }
    void cancelAfterPick() {
        QFETCH(const SelectionLayout*, layout);
        SelectionLogic logic(*layout);
        logic.open();
        QVERIFY(logic.includeData(dataFile("dlg_ejemplo.txt")));
        logic.cancel();
        QVERIFY(!logic.accepted());
        const zento::DataSelection selection = logic.selection();
        QCOMPARE(selection.path, dataFilePath(dataFile("dlg_ejemplo.txt")));
        QCOMPARE(selection.K, 0);
        QCOMPARE(selection.chosenVariables, 0);
        QCOMPARE(selection.chosenCases, 0);
    }

    void acceptWithoutAFile_data() { bothDialogs(); }
    void acceptWithoutAFile() {
        QFETCH(const SelectionLayout*, layout);
        SelectionLogic logic(*layout);
        logic.open();
        QCOMPARE(logic.accept(), std::nullopt);
        QVERIFY(logic.accepted());
        QCOMPARE(logic.selection().path, std::string());
    }

private:
    static void bothDialogs() {
        QTest::addColumn<const SelectionLayout*>("layout");
        QTest::newRow("data dialog") << &kCargarDatosLayout;
        QTest::newRow("model dialog") << &kCargarModelosLayout;
    }
};

QTEST_MAIN(TestSelectionLogic)
#include "tst_selectionlogic.moc"
