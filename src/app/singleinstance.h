// One running ZENTO per user: a later start with file names hands them to the running program,
// which opens them, instead of starting a second one.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>

class QLocalServer;
class QLocalSocket;

namespace zento {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The running programs of one user meet under serverName; tests pass a name of their own.
    explicit SingleInstance(QString serverName = defaultServerName(), QObject* parent = nullptr);

    // A name of this user's own, the same for every start by that user, that no other user can
    // take: a socket in the user's runtime folder (a pipe of the user's session on Windows).
    // Empty where there is none; the program then neither hands files over nor takes them.
    static QString defaultServerName();

    const QString& serverName() const { return m_serverName; }

    // Hands the files (made absolute here) to the running program and waits for it to take
    // them; false when none is running or it did not answer in time.
    bool forward(const QStringList& files,
                 std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Starts taking files from later starts. A name left behind by a program that ended
    // without closing is taken over; a name still in use by a running program is not, and
    // the result is false.
    bool listen();
    bool isListening() const;

signals:
    // Files handed over by a later start, already acknowledged to it.
    void filesReceived(const QStringList& files);

private:
    void readRequest(QLocalSocket* socket);

    QString m_serverName;
    QLocalServer* m_server = nullptr;
};

} // namespace zento
