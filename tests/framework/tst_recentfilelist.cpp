// The recent-file list: order, duplicates, the limit of four, persistence and its menu actions.
#include "framework/commands.h"
#include "framework/recentfilelist.h"
#include "framework/settingsstore.h"

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

    void init() {
        QVERIFY(m_dir.isValid());
        QFile::remove(iniFile());
    }

    void storeIdentity() {
        const auto settings = SettingsStore().open();
        QCOMPARE(settings->organizationName(), "Local AppWizard-Generated Applications");
        QCOMPARE(settings->applicationName(), "ZENTO");
        QCOMPARE(SettingsStore(iniFile()).open()->fileName(), iniFile());
    }

    void mostRecentFirstWithoutDuplicates() {
        RecentFileList list(store());
        list.add(path("a.txt"));
        list.add(path("b.txt"));
        list.add(path("a.txt"));
        QCOMPARE(list.files(), (QStringList{path("a.txt"), path("b.txt")}));

        // A relative path is the same file as its absolute path.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        list.add(QStringLiteral("b.txt"));
        QDir::setCurrent(previous);
        QCOMPARE(list.files(), (QStringList{path("b.txt"), path("a.txt")}));
    }

    void keepsFourAndPersists() {
        {
            RecentFileList list(store());
            for (const char* name : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"})
                list.add(path(name));
            QCOMPARE(list.files().size(), RecentFileList::kMaxEntries);
        }
        RecentFileList reloaded(store());
        QCOMPARE(reloaded.files(),
                 (QStringList{path("5.txt"), path("4.txt"), path("3.txt"), path("2.txt")}));
        reloaded.remove(path("4.txt"));
        QCOMPARE(RecentFileList(store()).files(),
                 (QStringList{path("5.txt"), path("3.txt"), path("2.txt")}));
    }

    void ignoresDuplicatesAndGapsInTheStore() {
        {
            QSettings settings(iniFile(), QSettings::IniFormat);
            settings.setValue("Recent File List/File1", path("x.txt"));
            settings.setValue("Recent File List/File3", path("x.txt"));
            settings.setValue("Recent File List/File4", path("y.txt"));
        }
        QCOMPARE(RecentFileList(store()).files(), (QStringList{path("x.txt"), path("y.txt")}));
    }

    void menuActions() {
        RecentFileList list(store());
        const QList<QAction*> actions = list.actions();
        QCOMPARE(actions.size(), 1 + RecentFileList::kMaxEntries);
        QAction* placeholder = actions.first();
        QCOMPARE(placeholder->text(), "Archivo reciente");
        QVERIFY(placeholder->isVisible());
        QVERIFY(!placeholder->isEnabled());
        for (int i = 1; i < actions.size(); ++i) {
            QCOMPARE(actions[i]->property(kCommandIdProperty).toInt(), ID_FILE_MRU_FILE1 + i - 1);
            QVERIFY(!actions[i]->isVisible());
        }

        list.add(path("a&b.txt"));
        list.add(path("c.txt"));
        QVERIFY(!placeholder->isVisible());
        QVERIFY(actions[1]->isVisible() && actions[2]->isVisible() && !actions[3]->isVisible());
        QCOMPARE(actions[1]->text(), "&1 " + QDir::toNativeSeparators(path("c.txt")));
        QCOMPARE(actions[2]->text(),
                 "&2 " + QDir::toNativeSeparators(path("a&b.txt")).replace("&", "&&"));
        QCOMPARE(actions[2]->statusTip(), "Abre este documento");

        QSignalSpy spy(&list, &RecentFileList::openRequested);
        actions[2]->trigger();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), path("a&b.txt"));
    }

private:
    QString iniFile() const { return m_dir.filePath(QStringLiteral("zento.ini")); }
    SettingsStore store() const { return SettingsStore(iniFile()); }
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestRecentFileList)
#include "tst_recentfilelist.moc"
