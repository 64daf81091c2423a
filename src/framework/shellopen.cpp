// Opening documents with the desktop.
#include "framework/shellopen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QUrl>

namespace zento {

void openWithDesktop(const QString& path, std::function<void()> failed) {
    const QFileInfo file(path);
    if (!file.exists()) {
        failed();
        return;
    }
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt only reports that xdg-open started; its exit status says whether a program took the
    // file. The process has no parent object: closing ZENTO must not end the program it started.
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0)
                             failed();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         failed();
                         process->deleteLater();
                     });
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(QStringLiteral("xdg-open"), {file.absoluteFilePath()});
#else
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath())))
        failed();
#endif
}

} // namespace zento
