// The help document shown by ZENTO itself, for a desktop that has no program to open it.
#pragma once

#include <QTextBrowser>

class HelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    // A window of its own over parent's, which goes when parent goes or when it is closed.
    HelpWindow(const QString& path, QWidget* parent);
};
