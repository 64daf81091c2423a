// The command table: ids, the keys that reach each command, the labels that name them, the
// toolbar strip, and the actions made from it.
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

    void idsAreUniqueAndNamed() {
        QSet<int> ids;
        QSet<QString> names;
        for (const Command& command : commandTable()) {
            QVERIFY2(!ids.contains(command.id), command.name);
            ids.insert(command.id);
            names.insert(QString::fromLatin1(command.name));
            QCOMPARE(findCommand(command.id), &command);
        }
        QCOMPARE(names.size(), ids.size());
        QCOMPARE(findCommand(12345), nullptr);
    }

    void systemCommandIds_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::newRow("data") << 32771 << "ID_DATA_GENERAR";
        QTest::newRow("logit") << 32774 << "ID_MODELOS_LOGIT";
        QTest::newRow("standard") << 32782 << "ID_MODELOS_SKEWPROBIT_STANDARD";
        QTest::newRow("help") << 32783 << "ID_AYUDA_DOCUMENTO";
        QTest::newRow("mru4") << 57619 << "ID_FILE_MRU_FILE4";
        QTest::newRow("next pane") << 57680 << "ID_NEXT_PANE";
        QTest::newRow("scroll lock") << 59139 << "ID_INDICATOR_SCRL";
        QTest::newRow("status bar") << 59393 << "ID_VIEW_STATUS_BAR";
    }
    void systemCommandIds() {
        QFETCH(int, id);
        QFETCH(QString, name);
        const Command* command = findCommand(id);
        QVERIFY(command);
        QCOMPARE(QString::fromLatin1(command->name), name);
    }

    // Every key of the accelerator table, and the three that the labels once named wrongly.
    void keysReachTheirCommand_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("id"); // 0: bound to nothing
        QTest::newRow("Ctrl+N") << QKeySequence(Qt::CTRL | Qt::Key_N) << int(ID_FILE_NEW);
        QTest::newRow("Ctrl+O") << QKeySequence(Qt::CTRL | Qt::Key_O) << int(ID_FILE_OPEN);
        QTest::newRow("Ctrl+S") << QKeySequence(Qt::CTRL | Qt::Key_S) << int(ID_FILE_SAVE);
        QTest::newRow("Ctrl+P") << QKeySequence(Qt::CTRL | Qt::Key_P) << int(ID_FILE_PRINT);
        QTest::newRow("Ctrl+Z") << QKeySequence(Qt::CTRL | Qt::Key_Z) << int(ID_EDIT_UNDO);
        QTest::newRow("Ctrl+X") << QKeySequence(Qt::CTRL | Qt::Key_X) << int(ID_EDIT_CUT);
        QTest::newRow("Ctrl+C") << QKeySequence(Qt::CTRL | Qt::Key_C) << int(ID_EDIT_COPY);
        QTest::newRow("Ctrl+V") << QKeySequence(Qt::CTRL | Qt::Key_V) << int(ID_EDIT_PASTE);
        QTest::newRow("Alt+Backspace")
            << QKeySequence(Qt::ALT | Qt::Key_Backspace) << int(ID_EDIT_UNDO);
        QTest::newRow("Shift+Delete")
            << QKeySequence(Qt::SHIFT | Qt::Key_Delete) << int(ID_EDIT_CUT);
        QTest::newRow("Ctrl+Insert")
            << QKeySequence(Qt::CTRL | Qt::Key_Insert) << int(ID_EDIT_COPY);
        QTest::newRow("Shift+Insert")
            << QKeySequence(Qt::SHIFT | Qt::Key_Insert) << int(ID_EDIT_PASTE);
        QTest::newRow("F6") << QKeySequence(Qt::Key_F6) << int(ID_NEXT_PANE);
        QTest::newRow("Shift+F6") << QKeySequence(Qt::SHIFT | Qt::Key_F6) << int(ID_PREV_PANE);
        QTest::newRow("Ctrl+A") << QKeySequence(Qt::CTRL | Qt::Key_A) << 0;
        QTest::newRow("Ctrl+G") << QKeySequence(Qt::CTRL | Qt::Key_G) << 0;
        QTest::newRow("Ctrl+I") << QKeySequence(Qt::CTRL | Qt::Key_I) << 0;
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

    // A label names the first key of its command: the keys that really work.
    void labelsShowTheWorkingKey() {
        int labelled = 0;
        for (const Command& command : commandTable()) {
            const QString label = QString::fromUtf8(command.label);
            const qsizetype tab = label.indexOf(QLatin1Char('\t'));
            if (tab < 0)
                continue;
            ++labelled;
            const QList<QKeySequence> keys = shortcuts(command);
            QVERIFY2(!keys.isEmpty(), command.name);
            QCOMPARE(QKeySequence(label.mid(tab + 1), QKeySequence::PortableText), keys.first());
        }
        QCOMPARE(labelled, 8);
        QCOMPARE(QString::fromUtf8(findCommand(ID_FILE_OPEN)->label), "&Abrir...\tCtrl+O");
        QCOMPARE(QString::fromUtf8(findCommand(ID_FILE_SAVE)->label), "&Guardar\tCtrl+S");
        QCOMPARE(QString::fromUtf8(findCommand(ID_FILE_PRINT)->label), "&Imprimir...\tCtrl+P");
    }

    void toolbarStripOrder() {
        QList<int> byImage(8, 0);
        for (const Command& command : commandTable()) {
            if (command.image < 0)
                continue;
            QVERIFY(command.image < byImage.size());
            QCOMPARE(byImage[command.image], 0);
            byImage[command.image] = command.id;
            QVERIFY2(*command.tooltip, command.name);
        }
        const QList<int> expected{ID_FILE_NEW,  ID_FILE_OPEN,  ID_FILE_SAVE,  ID_EDIT_CUT,
                                  ID_EDIT_COPY, ID_EDIT_PASTE, ID_FILE_PRINT, ID_APP_ABOUT};
        QCOMPARE(byImage, expected);
    }

    void actionFromTable() {
        QObject owner;
        QAction* open = createCommandAction(ID_FILE_OPEN, &owner);
        QCOMPARE(open->text(), "&Abrir...\tCtrl+O");
        QCOMPARE(open->shortcuts(), QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_O)});
        QCOMPARE(open->statusTip(), "Abre un documento ya existente");
        QCOMPARE(open->toolTip(), "Abrir");
        QCOMPARE(open->objectName(), "ID_FILE_OPEN");

        QAction* cut = createCommandAction(ID_EDIT_CUT, &owner);
        QCOMPARE(cut->shortcuts().size(), 2);
        QAction* logit = createCommandAction(ID_MODELOS_LOGIT, &owner);
        QCOMPARE(logit->statusTip(), QString());

        QCOMPARE(findCommandAction(&owner, ID_EDIT_CUT), cut);
        QCOMPARE(findCommandAction(&owner, ID_MODELOS_LOGIT), logit);
        QCOMPARE(findCommandAction(open, ID_FILE_OPEN), open);
        QCOMPARE(findCommandAction(&owner, ID_FILE_SAVE), nullptr);
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
