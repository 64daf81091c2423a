// The built program keeps its state through a crash: the recent-file list is in the settings
// as soon as a file is opened, so a run killed right after still leaves it for the next run;
// a settings file full of garbage does not stop start-up; a file size limit does not kill it.
#include "app/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace zento;

namespace {

// Runs the program as a user of its own: a home, settings and single-instance name of the
// test's own.
class ProgramRun {
public:
    explicit ProgramRun(const QTemporaryDir& home) : m_home(home) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(home.path());
    }
    ~ProgramRun() { kill(); }

    bool start(const QStringList& arguments) {
        m_process.start(ZENTO_PROGRAM, arguments);
        return m_process.waitForStarted();
    }
    // Ends it at once: no destructor, no exit handler, no chance to write anything more.
    void kill() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished();
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    bool listening() const {
        QString user = qEnvironmentVariable("USER");
        QLocalSocket socket;
        socket.connectToServer(SingleInstance::serverNameFor(user, QDir::cleanPath(m_home.path())));
        return socket.waitForConnected(200);
    }
    // Whether the program ignores a signal, as /proc tells.
    bool ignores(int signal) const {
        QFile status(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigIgn:"))
                return line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1) & 1;
        }
        return false;
    }

private:
    const QTemporaryDir& m_home;
    QProcess m_process;
};

} // namespace

class TestStateRobustness : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void recentFilesSurviveAKill() {
        QTemporaryDir home;
        const QString a = write(home, "a.txt"), b = write(home, "b.txt");
        for (const QString& file : {a, b}) {
            ProgramRun run(home);
            QVERIFY(run.start({file}));
            // Killed as soon as the file heads the list in the settings file.
            QTRY_VERIFY_WITH_TIMEOUT(!run.running() || recentFiles(home).value(0) == file, 20000);
            QVERIFY(run.running());
            run.kill();
        }
        QCOMPARE(recentFiles(home), (QStringList{b, a}));
    }

    void garbageSettingsDoNotStopStartUp() {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath("config/Local AppWizard-Generated Applications"));
        QFile settings(settingsFile(home));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        QByteArray garbage("[Recent File List]\nFile1=@Variant(\\0\\xff)\n");
        garbage.append(QByteArray("\0\0[[[", 5));
        for (int i = 0; i < 4096; ++i)
            garbage.append(char((i * 7919 + 13) % 256));
        settings.write(garbage);
        settings.close();

        const QString file = write(home, "c.txt");
        ProgramRun run(home);
        QVERIFY(run.start({file}));
        QTRY_VERIFY_WITH_TIMEOUT(!run.running() || run.listening(), 20000);
        QVERIFY(run.running());
        // And what it learns from then on is kept.
        QTRY_COMPARE_WITH_TIMEOUT(recentFiles(home).value(0), file, 20000);
#ifdef SIGXFSZ
        QVERIFY(run.ignores(SIGXFSZ));
#endif
    }

private:
    static QString settingsFile(const QTemporaryDir& home) {
        return home.filePath("config/Local AppWizard-Generated Applications/ZENTO.conf");
    }
    static QStringList recentFiles(const QTemporaryDir& home) {
        QSettings settings(settingsFile(home), QSettings::IniFormat);
        QStringList files;
        for (int i = 1; i <= 4; ++i) {
            const QString file =
                settings.value(QStringLiteral("Recent File List/File%1").arg(i)).toString();
            if (!file.isEmpty())
                files << file;
        }
        return files;
    }
    static QString write(const QTemporaryDir& home, const QString& name) {
        QFile file(home.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("uno\r\n");
        return QFileInfo(file).canonicalFilePath();
    }
};

QTEST_MAIN(TestStateRobustness)
#include "tst_staterobustness.moc"
