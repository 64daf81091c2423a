// One program per user: a later start hands its files to the running one. In process (the
// running side on a thread of its own, since handing over blocks) and with the built program.
#include "app/singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUuid>

#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace std::chrono_literals;
using zento::SingleInstance;

namespace {

QString uniqueName() {
    return QStringLiteral("zento-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

// A SingleInstance listening on a thread of its own; files it receives are collected on the
// test's thread.
class RunningInstance : public QObject {
public:
    explicit RunningInstance(const QString& name) : m_instance(name) {
        m_instance.moveToThread(&m_thread);
        connect(&m_instance, &SingleInstance::filesReceived, this,
                [this](const QStringList& files) { m_received.append(files); });
        m_thread.start();
        QMetaObject::invokeMethod(
            &m_instance, [this] { m_listening = m_instance.listen(); },
            Qt::BlockingQueuedConnection);
    }
    ~RunningInstance() override {
        QMetaObject::invokeMethod(
            &m_instance, [this] { qDeleteAll(m_instance.children()); },
            Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    bool listening() const { return m_listening; }
    const QList<QStringList>& received() const { return m_received; }

private:
    QThread m_thread;
    SingleInstance m_instance;
    bool m_listening = false;
    QList<QStringList> m_received;
};

bool listening(const QString& name) {
    QLocalSocket probe;
    probe.connectToServer(name);
    return probe.waitForConnected(200);
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void nameIsPerUser() {
        const QString a = SingleInstance::serverNameFor("ana", "/home/ana");
        QCOMPARE(SingleInstance::serverNameFor("ana", "/home/ana"), a);
        QVERIFY(a != SingleInstance::serverNameFor("luis", "/home/ana"));
        QVERIFY(a != SingleInstance::serverNameFor("ana", "/tmp/otra"));
        QVERIFY(a.startsWith("zento-"));
    }

    void forwardsAbsolutePaths() {
        const QString name = uniqueName();
        QVERIFY(!SingleInstance(name).forward({"a.txt"}, 500ms)); // nobody there yet
        RunningInstance running(name);
        QVERIFY(running.listening());

        SingleInstance later(name);
        QVERIFY(later.forward({"uno.txt", QDir::rootPath() + "dos.txt"}));
        QTRY_COMPARE(running.received().size(), 1);
        QCOMPARE(running.received().first(), (QStringList{QFileInfo("uno.txt").absoluteFilePath(),
                                                          QDir::rootPath() + "dos.txt"}));

        // A second hand-over on the same running program.
        QVERIFY(SingleInstance(name).forward({"tres.txt"}));
        QTRY_COMPARE(running.received().size(), 2);
    }

    void nameInUseIsNotTaken() {
        const QString name = uniqueName();
        RunningInstance running(name);
        QVERIFY(running.listening());
        SingleInstance second(name);
        QVERIFY(!second.listen());
        QVERIFY(SingleInstance(name).forward({"a.txt"}));
        QTRY_COMPARE(running.received().size(), 1);
    }

    // The built program: a second start with a file hands it to the first and ends at once.
    void secondProgramHandsItsFileOver() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        // A home and settings of the test's own: a user of its own for the running program.
        environment.insert("HOME", home.path());
        environment.insert("USERPROFILE", home.path());
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        QString user = qEnvironmentVariable("USER");
        if (user.isEmpty())
            user = qEnvironmentVariable("USERNAME");
        const QString name = SingleInstance::serverNameFor(user, QDir::cleanPath(home.path()));

        QProcess first;
        first.setProcessEnvironment(environment);
        first.setWorkingDirectory(home.path());
        first.start(ZENTO_PROGRAM, {});
        QVERIFY(first.waitForStarted());
        auto stopFirst = qScopeGuard([&first] {
            first.kill();
            first.waitForFinished();
        });
        QTRY_VERIFY_WITH_TIMEOUT(first.state() != QProcess::Running || listening(name), 20000);
        QCOMPARE(first.state(), QProcess::Running);

        QFile file(home.filePath("entregado.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("uno\r\n");
        file.close();
        QProcess second;
        second.setProcessEnvironment(environment);
        second.setWorkingDirectory(home.path());
        second.start(ZENTO_PROGRAM, {"entregado.txt"});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        // The first one opened it: it heads its recent-file list.
        const QString settings =
            home.filePath("config/Local AppWizard-Generated Applications/ZENTO.conf");
        const QString opened = QFileInfo(file).canonicalFilePath();
        QTRY_COMPARE_WITH_TIMEOUT(
            QSettings(settings, QSettings::IniFormat).value("Recent File List/File1").toString(),
            opened, 20000);
        QCOMPARE(first.state(), QProcess::Running);
    }

#ifdef Q_OS_UNIX
    void leftoverNameIsTakenOver() {
        // The socket file of a program that was killed: there, but nobody answers on it.
        const QString name = uniqueName();
        const QByteArray path = QFile::encodeName(QDir::tempPath() + "/" + name);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        QVERIFY(QFileInfo::exists(QFile::decodeName(path)));

        SingleInstance instance(name);
        QVERIFY(instance.listen());
        QLocalSocket socket;
        socket.connectToServer(name);
        QVERIFY(socket.waitForConnected(2000));
    }
#endif
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
