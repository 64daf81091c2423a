// The command table; the recent-file list, whose menu entries are actions made from it, kept in the
// settings store in order, four at most, through a kill and through a damaged settings file.
#include "framework/commands.h"
#include "framework/recentfilelist.h"

#include <QAction>
#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <map>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

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
        std::map<QString, int> keys; // every key and its command, in key order
        QList<int> strip(8);
        int labelled = 0;
        for (const Command& command : commandTable()) {
            QCOMPARE(findCommand(command.id), &command); // each id once
            for (const QKeySequence& key : shortcuts(command))
                QVERIFY2(keys.emplace(key.toString(), command.id).second, command.name);
            // A key shown in a label is the first key of its command, so it really works.
            const QString label = QString::fromUtf8(command.label);
            if (const qsizetype tab = label.indexOf(u'\t'); tab >= 0) {
                ++labelled;
                QCOMPARE(QKeySequence(label.mid(tab + 1)), shortcuts(command).value(0));
            }
            if (command.image >= 0) {
                QVERIFY2(!strip.at(command.image), command.name);
                strip[command.image] = command.id;
            }
        }
        QCOMPARE(findCommand(12345), nullptr);
        QCOMPARE(labelled, 8);
        // The accelerator table: nothing else is bound (Ctrl+A, Ctrl+G and Ctrl+I reach nothing).
        QString accelerators;
        for (const auto& [key, id] : keys)
            accelerators += QStringLiteral("%1=%2 ").arg(key).arg(id);
        QCOMPARE(accelerators, "Alt+Backspace=57643 Ctrl+C=57634 Ctrl+Ins=57634 Ctrl+N=57600 "
                               "Ctrl+O=57601 Ctrl+P=57607 Ctrl+S=57603 Ctrl+V=57637 Ctrl+X=57635 "
                               "Ctrl+Z=57643 F6=57680 Shift+Del=57635 Shift+F6=57681 "
                               "Shift+Ins=57637 ");
        QCOMPARE(strip, (QList<int>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EDIT_CUT,
                                    ID_EDIT_COPY, ID_EDIT_PASTE, ID_FILE_PRINT, ID_APP_ABOUT}));
    }

    void orderLimitAndPersistence() {
        const auto settings = SettingsStore().open();
        QCOMPARE(settings->organizationName(), "Local AppWizard-Generated Applications");
        QCOMPARE(settings->applicationName(), "ZENTO");
        RecentFileList list(store());
        for (const char* name : {"1", "2", "3", "1", "4", "5"})
            list.add(path(name));
        // A relative path is the same file as its absolute path.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        list.add(QStringLiteral("3"));
        QDir::setCurrent(previous);
        const QStringList recent{path("3"), path("5"), path("4"), path("1")};
        QCOMPARE(list.files(), recent);
        QCOMPARE(RecentFileList(store()).files(), recent);
        list.remove(path("5"));
        QCOMPARE(RecentFileList(store()).files(), (QStringList{path("3"), path("4"), path("1")}));
    }

    // The placeholder while the list is empty, then one command action per file.
    void menuActions() {
        RecentFileList list(store());
        const QList<QAction*> actions = list.actions();
        QCOMPARE(actions.size(), 5);
        QAction* placeholder = actions.first();
        QCOMPARE(placeholder->text(), "Archivo reciente");
        QVERIFY(placeholder->isVisible() && !placeholder->isEnabled());
        QCOMPARE(findCommandAction(&list, ID_FILE_MRU_FILE4), actions[4]);
        QCOMPARE(actions[4]->objectName(), "ID_FILE_MRU_FILE4");
        QCOMPARE(actions[4]->statusTip(), "Abre este documento");
        QCOMPARE(findCommandAction(&list, ID_FILE_SAVE), nullptr);

        list.add(path("a&b"));
        list.add(path("c"));
        QVERIFY(!placeholder->isVisible());
        QVERIFY(actions[2]->isVisible() && !actions[3]->isVisible());
        QCOMPARE(actions[2]->text(), "&2 " + QDir::toNativeSeparators(path("a&&b")));
        QSignalSpy spy(&list, &RecentFileList::openRequested);
        actions[2]->trigger();
        QCOMPARE(spy.value(0).value(0).toString(), path("a&b"));
    }

    // A child process adds a file and is killed at once, with no destructor or exit handler run:
    // each change must already be in the file.
    void survivesAKillAfterEachChange() {
#ifndef Q_OS_UNIX
        QSKIP("needs fork()");
#else
        RecentFileList(store()).add(path("antes"));
        for (const char* name : {"uno", "dos"}) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                RecentFileList(store()).add(path(name));
                std::raise(SIGKILL);
            }
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        }
        QCOMPARE(RecentFileList(store()).files(),
                 (QStringList{path("dos"), path("uno"), path("antes")}));
#endif
    }

    // Whatever a damaged settings file holds, the list starts with at most four files (stored
    // duplicates and gaps skipped), and the next change is kept (for the run, if a folder).
    void damagedSettingsFile_data() {
        QTest::addColumn<QByteArray>("content"); // null: the settings file is a folder
        QTest::addColumn<QStringList>("files");  // what the list shows, where known
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 7919 + 13) % 256));
        QTest::newRow("binary") << binary << QStringList();
        QTest::newRow("not a string")
            << QByteArray("[Recent File List]\nFile1=@Variant(\\0\\0\\0\\x7f\\xff\\xff)\n"
                          "File2=@ByteArray(\\xff)\nFile3=a, b, c\n")
            << QStringList();
        QTest::newRow("duplicates and gaps")
            << "[Recent File List]\nFile1=" + path("x").toUtf8() + "\nFile3=" + path("x").toUtf8() +
                   "\nFile4=" + path("y").toUtf8() + "\nFile5=" + path("z").toUtf8()
            << QStringList{path("x"), path("y")};
        QTest::newRow("a folder") << QByteArray() << QStringList();
    }
    void damagedSettingsFile() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, files);
        if (content.isNull()) {
            QVERIFY(QDir().mkpath(iniFile()));
        } else {
            QFile file(iniFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        {
            RecentFileList list(store());
            QVERIFY(list.files().size() <= RecentFileList::kMaxEntries);
            if (!files.isEmpty())
                QCOMPARE(list.files(), files);
            list.add(path("nuevo"));
            QCOMPARE(list.files().first(), path("nuevo"));
        }
        if (content.isNull())
            QVERIFY(QDir(iniFile()).removeRecursively());
        else
            QCOMPARE(RecentFileList(store()).files().first(), path("nuevo"));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
