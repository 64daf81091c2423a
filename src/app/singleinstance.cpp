// Handing files to the running program over a local socket.
#include "app/singleinstance.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <memory>
#include <utility>

namespace zento {

namespace {

// A request: the magic number, then the absolute paths. The answer: one byte, kTaken.
constexpr quint32 kMagic = 0x5a4e5431; // "ZNT1"
constexpr char kTaken = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

int msecs(std::chrono::milliseconds timeout) {
    return int(timeout.count());
}

} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_serverName(std::move(serverName)) {}

QString SingleInstance::defaultServerName() {
#ifdef Q_OS_WIN
    // A pipe of this user's session; the server lets no other user connect.
    const QByteArray key =
        (qEnvironmentVariable("USERDOMAIN") + QLatin1Char('\\') + qEnvironmentVariable("USERNAME") +
         QLatin1Char('\n') + qEnvironmentVariable("SESSIONNAME"))
            .toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex();
    return QStringLiteral("zento-") + QString::fromLatin1(hash.left(24));
#else
    // In the user's own runtime folder (mode 0700): no other account can create the socket
    // first, nor answer on it. Without such a folder every start runs on its own.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("zento"));
#endif
}

bool SingleInstance::forward(const QStringList& files, std::chrono::milliseconds timeout) {
    QStringList paths;
    for (const QString& file : files)
        paths.append(QFileInfo(file).absoluteFilePath());

    if (m_serverName.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(msecs(timeout)))
        return false;
    QByteArray request;
    {
        QDataStream out(&request, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        out << kMagic << paths;
    }
    socket.write(request);
    if (!socket.waitForBytesWritten(msecs(timeout)))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(msecs(timeout)))
            return false;
    }
    char answer = 0;
    return socket.getChar(&answer) && answer == kTaken;
}

bool SingleInstance::listen() {
    if (m_server)
        return m_server->isListening();
    if (m_serverName.isEmpty())
        return false;
    // Listening would take the name over even from a running program (on Unix the new socket
    // replaces the old one), so a name that someone answers on is left alone. One that nobody
    // answers on was left behind by a program that ended without closing it.
    {
        QLocalSocket probe;
        probe.connectToServer(m_serverName);
        if (probe.waitForConnected(1000)) {
            probe.abort();
            return false;
        }
    }
    QLocalServer::removeServer(m_serverName);
    auto server = std::make_unique<QLocalServer>(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_serverName))
        return false;
    m_server = server.release();
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { readRequest(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            if (socket->bytesAvailable() > 0)
                readRequest(socket);
        }
    });
    return true;
}

bool SingleInstance::isListening() const {
    return m_server && m_server->isListening();
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    QDataStream in(socket);
    in.setVersion(kStreamVersion);
    in.startTransaction();
    quint32 magic = 0;
    QStringList files;
    in >> magic;
    if (in.status() == QDataStream::Ok && magic == kMagic)
        in >> files;
    if (in.status() == QDataStream::ReadPastEnd) {
        in.rollbackTransaction(); // the rest has not arrived yet
        return;
    }
    if (!in.commitTransaction() || magic != kMagic) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    // Answer before opening: opening may ask the user something, and the later start must not
    // wait for that.
    socket->putChar(kTaken);
    socket->flush();
    socket->disconnectFromServer();
    emit filesReceived(files);
}

} // namespace zento
