// The help window.
#include "app/helpwindow.h"

#include <QUrl>

HelpWindow::HelpWindow(const QString& path, QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Ayuda de ZENTO"));
    // Pages and images of the manual open here; links that leave it, with the desktop.
    setOpenExternalLinks(true);
    setSource(QUrl::fromLocalFile(path));
    if (parent)
        resize(parent->size() * 3 / 4);
}
