// The recent-file list survives a crash right after a change, and a settings file full of garbage
// (or one that cannot be read or written) neither stops the list nor loses later changes.
#include "framework/recentfilelist.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace zento;

class TestSettingsRobustness : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QFile::remove(iniFile()); }

    // A child process adds files and is killed at once, with no destructor or exit handler run:
    // each change must already be in the file.
    void survivesAKillAfterEachChange() {
        RecentFileList(store()).add(path("antes"));
        for (const char* name : {"uno", "dos"}) {
            const pid_t child = fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                RecentFileList list(store());
                list.add(path(name));
                std::raise(SIGKILL);
            }
            int status = 0;
            QCOMPARE(waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        }
        QCOMPARE(RecentFileList(store()).files(),
                 (QStringList{path("dos"), path("uno"), path("antes")}));
    }

    void garbageInTheSettingsFile_data() {
        QTest::addColumn<QByteArray>("content");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 7919 + 13) % 256));
        QTest::newRow("binary") << binary;
        QTest::newRow("NUL bytes") << QByteArray("[Recent File List]\nFile1=\0\0\0\n", 29);
        QTest::newRow("broken sections") << QByteArray("[[[Recent File List\n=\n==\n[]\n\xff\xfe");
        QTest::newRow("not a string")
            << QByteArray("[Recent File List]\nFile1=@Variant(\\0\\0\\0\\x7f\\xff\\xff)\n"
                          "File2=@ByteArray(\\xff)\nFile3=a, b, c\n");
        QTest::newRow("huge value") << "[Recent File List]\nFile1=" + QByteArray(1 << 20, 'x');
    }
    // Whatever the list shows, start-up goes on, and the next change is kept.
    void garbageInTheSettingsFile() {
        QFETCH(QByteArray, content);
        writeIni(content);
        {
            RecentFileList list(store());
            QVERIFY(list.files().size() <= RecentFileList::kMaxEntries);
            list.add(path("nuevo"));
            QCOMPARE(list.files().first(), path("nuevo"));
        }
        QCOMPARE(RecentFileList(store()).files().first(), path("nuevo"));
    }

    // A settings location that cannot hold a file: the list still works for this run.
    void settingsFileThatIsAFolder() {
        QVERIFY(QDir().mkpath(iniFile()));
        RecentFileList list(store());
        QVERIFY(list.files().isEmpty());
        list.add(path("a"));
        QCOMPARE(list.files(), QStringList{path("a")});
        QVERIFY(QDir(iniFile()).removeRecursively());
    }

private:
    QString iniFile() const { return m_dir.filePath(QStringLiteral("zento.ini")); }
    SettingsStore store() const { return SettingsStore(iniFile()); }
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    void writeIni(const QByteArray& content) const {
        QFile file(iniFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestSettingsRobustness)
#include "tst_settingsrobustness.moc"
