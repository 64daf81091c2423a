// The selection dialogs' logic without a window, for both dialogs: a new dialog, including
// files, reading the numbers back in each dialog's order, and runs that end otherwise.
#include "dialogs/selectionlogic.h"

#include <QDir>
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

} // namespace

Q_DECLARE_METATYPE(const SelectionLayout*)

class TestSelectionLogic : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void includeAndAccept_data() { bothDialogs(); }
    void includeAndAccept() {
        QFETCH(const SelectionLayout*, layout);
        const bool model = layout == &kCargarModelosLayout;
        SelectionLogic logic(*layout);
        logic.open();
        // The data dialog keeps no number for N, so its N box starts empty.
        QCOMPARE(shown(logic), (QStringList{"", "0", model ? "0" : "", "0", "0"}));

        QVERIFY(logic.includeData(dataFile("dlg_vacio.txt")));
        QCOMPARE(shown(logic), shownFile("dlg_vacio.txt", "1", "-1"));
        logic.setBoxText(layout->chosenCasesBox, QStringLiteral("4"));
        QVERIFY(logic.includeData(dataFile("dlg_ejemplo.txt"))); // replaces all five boxes
        QCOMPARE(shown(logic), shownFile("dlg_ejemplo.txt", "3", "2"));
        QCOMPARE(logic.selection().K, 0); // members change only on "Aceptar"

        QCOMPARE(logic.accept(), std::nullopt);
        QVERIFY(logic.accepted());
        const zento::DataSelection selection = logic.selection();
        QCOMPARE(selection.path, dataFilePath(dataFile("dlg_ejemplo.txt")));
        QCOMPARE(selection.K, 3);
        QCOMPARE(selection.N, model ? 2 : 0);
        QCOMPARE(selection.chosenVariables, 3);
        QCOMPARE(selection.chosenCases, 2);
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
        zento::DataError cancelled;
        cancelled.kind = zento::DataErrorKind::Cancelled;
        QVERIFY(!logic.includeData(dataFile("dlg_cinco_casos.txt"), cancelled));
        QCOMPARE(logic.boxes(), before); // not K 1 and N -1

        QCOMPARE(logic.accept(), std::nullopt);
        QCOMPARE(logic.selection().path, dataFilePath(dataFile("dlg_ejemplo.txt")));
        QCOMPARE(logic.selection().chosenVariables, 2);
    }

    // Chosen numbers arrive as typed; anything but a whole number names the first bad box in
    // binding order, and the two dialogs read their boxes in different orders.
    void typedNumbers_data() {
        QTest::addColumn<const SelectionLayout*>("layout");
        QTest::addColumn<QString>("variables");
        QTest::addColumn<QString>("cases");
        QTest::addColumn<int>("refused"); // 0: accepted
        const auto* data = &kCargarDatosLayout;
        const auto* model = &kCargarModelosLayout;
        QTest::newRow("data: more than K, zero") << data << "99"
                                                 << "0" << 0;
        QTest::newRow("model: negative") << model << "-4"
                                         << "-1" << 0;
        QTest::newRow("data: letters") << data << "3"
                                       << "dos" << int(IDC_DATOS_CHOSEN_CASES);
        QTest::newRow("data: both bad") << data << "x"
                                        << "y" << int(IDC_DATOS_CHOSEN_VARIABLES);
        QTest::newRow("model: letters") << model << "3"
                                        << "dos" << int(IDC_MODELOS_CHOSEN_CASES);
        QTest::newRow("model: both bad") << model << "x"
                                         << "y" << int(IDC_MODELOS_CHOSEN_CASES);
    }
    void typedNumbers() {
        QFETCH(const SelectionLayout*, layout);
        QFETCH(QString, variables);
        QFETCH(QString, cases);
        QFETCH(int, refused);
        SelectionLogic logic(*layout);
        logic.open();
        QVERIFY(logic.includeData(dataFile("dlg_ejemplo.txt")));
        logic.setBoxText(layout->chosenVariablesBox, variables);
        logic.setBoxText(layout->chosenCasesBox, cases);
        QCOMPARE(logic.accept(), refused ? std::optional(refused) : std::nullopt);
        QCOMPARE(logic.accepted(), refused == 0);
        if (refused == 0) {
            QCOMPARE(logic.selection().chosenVariables, variables.toInt());
            QCOMPARE(logic.selection().chosenCases, cases.toInt());
        }
    }

    void cancelKeepsOnlyThePath_data() { bothDialogs(); }
    void cancelKeepsOnlyThePath() {
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

private:
    static void bothDialogs() {
        QTest::addColumn<const SelectionLayout*>("layout");
        QTest::newRow("data dialog") << &kCargarDatosLayout;
        QTest::newRow("model dialog") << &kCargarModelosLayout;
    }
};

QTEST_MAIN(TestSelectionLogic)
#include "tst_selectionlogic.moc"
