// The built program, run as a user of its own: a settings file full of garbage does not stop it,
// nor a socket that another account set up where the program once met its later starts; a later
// start hands its file over and ends, the recent-file list is in the settings as soon as a file
// opens, so a kill loses nothing, and the next run takes over the name it left behind.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestProgram : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(QDir(m_home.path()).mkpath("config/Local AppWizard-Generated Applications"));
        QVERIFY(QDir(m_home.path()).mkpath("otra"));
        QVERIFY(QDir(m_home.path()).mkpath("run"));
        QFile::setPermissions(m_home.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("HOME", m_home.path());
        environment.insert("XDG_CONFIG_HOME", m_home.filePath("config"));
        environment.insert("XDG_RUNTIME_DIR", m_home.filePath("run"));
        m_environment = environment;
    }

    void keepsItsStateAndHandsFilesOver() {
        QFile settings(settingsFile());
        QVERIFY(settings.open(QIODevice::WriteOnly));
        QByteArray garbage("[Recent File List]\nFile1=@Variant(\\0\\xff)\n");
        garbage.append("\0\0[[[", 5);
        for (int i = 0; i < 4096; ++i)
            garbage.append(char((i * 7919 + 13) % 256));
        settings.write(garbage);
        settings.close();
        const QString a = write("a.txt"), b = write("b.txt");
        // Where a running ZENTO used to listen: a shared folder, a name anyone can work out.
        const QByteArray key = (qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME")) +
                                "\n" + QDir::cleanPath(m_home.path()))
                                   .toUtf8();
        QLocalServer squatter;
        QVERIFY(squatter.listen(
            "zento-" + QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24)));
        connect(&squatter, &QLocalServer::newConnection, this, [&squatter] {
            QLocalSocket* taken = squatter.nextPendingConnection();
            taken->putChar(1); // "taken": the files would be lost
            taken->flush();
        });

        QProcess first;
        QVERIFY(start(first, {a}));
        QTRY_COMPARE_WITH_TIMEOUT(recentFiles(), QStringList{a}, 20000);
        QVERIFY(listening());
#ifdef Q_OS_LINUX
        QVERIFY(ignores(first, SIGXFSZ)); // a save past a size limit fails, it does not kill
#endif
        // A relative name from another folder reaches the first program as the file meant.
        QProcess second;
        second.setWorkingDirectory(m_home.filePath("otra"));
        QVERIFY(start(second, {"../b.txt"}));
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(recentFiles(), (QStringList{b, a}), 20000);

        first.kill();
        first.waitForFinished();
        QCOMPARE(recentFiles(), (QStringList{b, a}));
        QProcess next;
        QVERIFY(start(next, {}));
        QTRY_VERIFY_WITH_TIMEOUT(next.state() != QProcess::Running || listening(), 20000);
        QCOMPARE(next.state(), QProcess::Running);
        next.kill();
        next.waitForFinished();
    }

private:
    bool start(QProcess& process, const QStringList& arguments) {
        process.setProcessEnvironment(m_environment);
        if (process.workingDirectory().isEmpty())
            process.setWorkingDirectory(m_home.path());
        process.start(ZENTO_PROGRAM, arguments);
        return process.waitForStarted();
    }
    bool listening() const {
        QLocalSocket socket;
        socket.connectToServer(m_home.filePath("run/zento"));
        return socket.waitForConnected(200);
    }
    // Whether the process ignores a signal, as /proc tells.
    static bool ignores(const QProcess& process, int signal) {
        QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("SigIgn:"))
                return line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1) & 1;
        }
        return false;
    }
    QString settingsFile() const {
        return m_home.filePath("config/Local AppWizard-Generated Applications/ZENTO.conf");
    }
    QStringList recentFiles() const {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        QStringList files;
        for (int i = 1; i <= 4; ++i) {
            const QString file =
                settings.value(QString("Recent File List/File%1").arg(i)).toString();
            if (!file.isEmpty())
                files << file;
        }
        return files;
    }
    QString write(const QString& name) const {
        QFile file(m_home.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("uno\r\n");
        return QFileInfo(file).canonicalFilePath();
    }

    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
};

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
