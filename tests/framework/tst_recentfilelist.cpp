// The settings store and the recent-file list: order, duplicates, four entries, persistence
// and the menu actions.
#include "framework/commands.h"
#include "framework/recentfilelist.h"

#include <QAction>
#include <QDir>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace zento;

class TestRecentFileList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QFile::remove(iniFile()); }

    void storeIdentity() {
        const auto settings = SettingsStore().open();
        QCOMPARE(settings->organizationName(), "Local AppWizard-Generated Applications");
        QCOMPARE(settings->applicationName(), "ZENTO");
        QCOMPARE(store().open()->fileName(), iniFile());
    }

    void orderLimitAndPersistence() {
        {
            RecentFileList list(store());
            for (const char* name : {"1", "2", "3", "1", "4", "5"})
                list.add(path(name));
            // A relative path is the same file as its absolute path.
            const QString previous = QDir::currentPath();
            QDir::setCurrent(m_dir.path());
            list.add(QStringLiteral("3"));
            QDir::setCurrent(previous);
        }
        RecentFileList list(store());
        QCOMPARE(list.files(), (QStringList{path("3"), path("5"), path("4"), path("1")}));
        list.remove(path("5"));
        QCOMPARE(RecentFileList(store()).files(), (QStringList{path("3"), path("4"), path("1")}));
    }

    void storedDuplicatesAndGapsAreSkipped() {
        {
            QSettings settings(iniFile(), QSettings::IniFormat);
            settings.setValue("Recent File List/File1", path("x"));
            settings.setValue("Recent File List/File3", path("x"));
            settings.setValue("Recent File List/File4", path("y"));
        }
        QCOMPARE(RecentFileList(store()).files(), (QStringList{path("x"), path("y")}));
    }

    void menuActions() {
        RecentFileList list(store());
        const QList<QAction*> actions = list.actions();
        QCOMPARE(actions.size(), 5);
        QAction* placeholder = actions.first();
        QCOMPARE(placeholder->text(), "Archivo reciente");
        QVERIFY(placeholder->isVisible() && !placeholder->isEnabled());
        QCOMPARE(actions[4]->property(kCommandIdProperty).toInt(), int(ID_FILE_MRU_FILE4));

        list.add(path("a&b"));
        list.add(path("c"));
        QVERIFY(!placeholder->isVisible());
        QVERIFY(actions[2]->isVisible() && !actions[3]->isVisible());
        QCOMPARE(actions[2]->text(), "&2 " + QDir::toNativeSeparators(path("a&&b")));
        QCOMPARE(actions[2]->statusTip(), "Abre este documento");
        QSignalSpy spy(&list, &RecentFileList::openRequested);
        actions[2]->trigger();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), path("a&b"));
    }

private:
    QString iniFile() const { return m_dir.filePath(QStringLiteral("zento.ini")); }
    SettingsStore store() const { return SettingsStore(iniFile()); }
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestRecentFileList)
#include "tst_recentfilelist.moc"
