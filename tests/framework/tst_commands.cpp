// The command table: unique ids, the keys that reach each command and the labels that name
// them, the toolbar strip, and the actions made from it.
#include "framework/commands.h"

#include <QAction>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

using namespace zento;

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void idsAreUnique() {
        QSet<int> ids;
        for (const Command& command : commandTable()) {
            QVERIFY2(!ids.contains(command.id), command.name);
            ids.insert(command.id);
            QCOMPARE(findCommand(command.id), &command);
        }
        QCOMPARE(findCommand(12345), nullptr);
    }

    void keysReachTheirCommand_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("id"); // 0: bound to nothing
        const QList<std::pair<QKeyCombination, int>> table{
            {Qt::CTRL | Qt::Key_N, ID_FILE_NEW},
            {Qt::CTRL | Qt::Key_O, ID_FILE_OPEN},
            {Qt::CTRL | Qt::Key_S, ID_FILE_SAVE},
            {Qt::CTRL | Qt::Key_P, ID_FILE_PRINT},
            {Qt::CTRL | Qt::Key_Z, ID_EDIT_UNDO},
            {Qt::CTRL | Qt::Key_X, ID_EDIT_CUT},
            {Qt::CTRL | Qt::Key_C, ID_EDIT_COPY},
            {Qt::CTRL | Qt::Key_V, ID_EDIT_PASTE},
            {Qt::ALT | Qt::Key_Backspace, ID_EDIT_UNDO},
            {Qt::SHIFT | Qt::Key_Delete, ID_EDIT_CUT},
            {Qt::CTRL | Qt::Key_Insert, ID_EDIT_COPY},
            {Qt::SHIFT | Qt::Key_Insert, ID_EDIT_PASTE},
            {Qt::Key_F6, ID_NEXT_PANE},
            {Qt::SHIFT | Qt::Key_F6, ID_PREV_PANE},
            {Qt::CTRL | Qt::Key_A, 0},
            {Qt::CTRL | Qt::Key_G, 0},
            {Qt::CTRL | Qt::Key_I, 0}};
        for (const auto& [keys, id] : table) {
            const QKeySequence sequence(keys);
            QTest::newRow(qPrintable(sequence.toString())) << sequence << id;
        }
    }
    void keysReachTheirCommand() {
        QFETCH(QKeySequence, keys);
        QFETCH(int, id);
        QList<int> owners;
        for (const Command& command : commandTable()) {
            if (shortcuts(command).contains(keys))
                owners.append(command.id);
        }
        QCOMPARE(owners, id ? QList<int>{id} : QList<int>{});
    }

    // Every key shown in a label is the first key of its command, so it really works.
    void labelsShowWorkingKeys() {
        int labelled = 0;
        for (const Command& command : commandTable()) {
            const QString label = QString::fromUtf8(command.label);
            const qsizetype tab = label.indexOf(QLatin1Char('\t'));
            if (tab < 0)
                continue;
            ++labelled;
            QVERIFY2(!shortcuts(command).isEmpty(), command.name);
            QCOMPARE(QKeySequence(label.mid(tab + 1)), shortcuts(command).first());
        }
        QCOMPARE(labelled, 8);
        QCOMPARE(findCommand(ID_FILE_OPEN)->label, "&Abrir...\tCtrl+O");
    }

    void toolbarStrip() {
        QList<int> byImage(8, 0);
        for (const Command& command : commandTable()) {
            if (command.image >= 0) {
                QCOMPARE(byImage.at(command.image), 0);
                byImage[command.image] = command.id;
            }
        }
        const QList<int> expected{ID_FILE_NEW,  ID_FILE_OPEN,  ID_FILE_SAVE,  ID_EDIT_CUT,
                                  ID_EDIT_COPY, ID_EDIT_PASTE, ID_FILE_PRINT, ID_APP_ABOUT};
        QCOMPARE(byImage, expected);
    }

    void actionsFromTheTable() {
        QObject owner;
        QAction* cut = createCommandAction(ID_EDIT_CUT, &owner);
        QCOMPARE(cut->text(), "Cor&tar\tCtrl+X");
        QCOMPARE(cut->shortcuts(), shortcuts(*findCommand(ID_EDIT_CUT)));
        QCOMPARE(cut->shortcuts().size(), 2);
        QCOMPARE(cut->statusTip(), "Corta la selección y la coloca en el portapapeles");
        QCOMPARE(cut->toolTip(), "Cortar");
        QCOMPARE(cut->objectName(), "ID_EDIT_CUT");
        QAction* logit = createCommandAction(ID_MODELOS_LOGIT, &owner);
        QCOMPARE(findCommandAction(&owner, 32774), logit);
        QCOMPARE(findCommandAction(&owner, ID_EDIT_CUT), cut);
        QCOMPARE(findCommandAction(&owner, ID_FILE_SAVE), nullptr);
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
