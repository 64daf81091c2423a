// The command table with the link table's nine commands in it; the recent-file list, whose menu
// entries are actions made from it, kept in the settings store in order, four at most.
// (tst_program shows each change kept at once, through a kill and a settings file of garbage.)
#include "framework/commands.h"
#include "framework/recentfilelist.h"
#include "winbugs/models.h"

#include <QAction>
#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <map>

using namespace zento;

class TestCommands : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString iniFile() const { return m_dir.filePath(QStringLiteral("zento.ini")); }
    SettingsStore store() const { return SettingsStore(iniFile()); }
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QFile::remove(iniFile()); }

    void table() {
        std::map<QString, int> keys; // every key once
        QList<int> strip(8);
        int labelled = 0;
        for (const Command& command : commandTable()) {
            QCOMPARE(findCommand(command.id), &command); // each id once
            for (const QKeySequence& key : shortcuts(command))
                QVERIFY(keys.emplace(key.toString(), command.id).second);
            // A key shown in a label is the first key of its command, so it really works.
            const QString label = toQString(command.label);
            if (const qsizetype tab = label.indexOf(u'\t'); tab >= 0) {
                ++labelled;
                QCOMPARE(QKeySequence(label.mid(tab + 1)), shortcuts(command).value(0));
            }
            if (command.image >= 0) {
                QVERIFY(!strip.at(command.image));
                strip[command.image] = command.id;
            }
        }
        QCOMPARE(labelled, 8);
        QCOMPARE(strip, (QList<int>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EDIT_CUT,
                                    ID_EDIT_COPY, ID_EDIT_PASTE, ID_FILE_PRINT, ID_APP_ABOUT}));
        for (const LinkInfo& link : Links())
            QCOMPARE(findCommand(link.commandId)->label, link.label);
    }

    // The newest four, a relative path being the same file as its absolute path; the menu
    // shows the placeholder while the list is empty, then one command action per file.
    void orderLimitAndPersistence() {
        RecentFileList list(store());
        QAction* placeholder = list.actions().first();
        QCOMPARE(placeholder->text(), "Archivo reciente");
        QVERIFY(placeholder->isVisible() && !placeholder->isEnabled());
        for (const char* name : {"1", "2", "a&b", "1", "4", "5"})
            list.add(path(name));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        list.add(QStringLiteral("a&b"));
        QDir::setCurrent(previous);
        const QStringList recent{path("a&b"), path("5"), path("4"), path("1")};
        QCOMPARE(RecentFileList(store()).files(), recent);
        list.remove(path("5"));
        QCOMPARE(RecentFileList(store()).files(), (QStringList{path("a&b"), path("4"), path("1")}));
        QVERIFY(!placeholder->isVisible());
        QAction* first = findCommandAction(&list, ID_FILE_MRU_FILE1);
        QCOMPARE(first->text(), "&1 " + QDir::toNativeSeparators(path("a&&b")));
        QCOMPARE(first->statusTip(), "Abre este documento");
        QVERIFY(!findCommandAction(&list, ID_FILE_MRU_FILE4)->isVisible());
        QSignalSpy spy(&list, &RecentFileList::openRequested);
        first->trigger();
        QCOMPARE(spy.value(0).value(0).toString(), path("a&b"));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
