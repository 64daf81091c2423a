// Opening documents with the desktop.
#include "framework/shellopen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QString>
#include <QUrl>

namespace zento {

bool openWithDesktop(const QString& pathOrUrl) {
    const QUrl url(pathOrUrl, QUrl::StrictMode);
    // A one-letter scheme is a drive letter, not a URL.
    if (url.isValid() && url.scheme().size() > 1 && !url.isLocalFile())
        return QDesktopServices::openUrl(url);
    const QFileInfo file(url.isLocalFile() ? url.toLocalFile() : pathOrUrl);
    if (!file.exists())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

} // namespace zento
