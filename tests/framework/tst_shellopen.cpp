// Opening documents and URLs with the desktop, with a URL handler standing in for it.
#include "framework/shellopen.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace zento;

class Desktop : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class TestShellOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        for (const char* scheme : {"file", "https"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_desktop, "open");
    }
    void cleanupTestCase() {
        for (const char* scheme : {"file", "https"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    void init() { m_desktop.opened.clear(); }

    void relativePathAgainstWorkingDirectory() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("manual")));
        QFile help(dir.filePath(QStringLiteral("manual/Index.html")));
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const bool opened = openWithDesktop(QStringLiteral("manual/Index.html"));
        QDir::setCurrent(previous);
        QVERIFY(opened);
        QCOMPARE(m_desktop.opened, QList<QUrl>{QUrl::fromLocalFile(help.fileName())});
    }

    void missingFileIsNotHandedOn() {
        QTemporaryDir dir;
        QVERIFY(!openWithDesktop(dir.filePath(QStringLiteral("manual/Index.html"))));
        QVERIFY(m_desktop.opened.isEmpty());
    }

    void urlGoesAsItIs() {
        QVERIFY(openWithDesktop(QStringLiteral("https://example.org/ayuda")));
        QCOMPARE(m_desktop.opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/ayuda"))});
    }

private:
    Desktop m_desktop;
};

QTEST_MAIN(TestShellOpen)
#include "tst_shellopen.moc"
