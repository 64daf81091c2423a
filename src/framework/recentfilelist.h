// The recent-file list: at most four documents, most recent first, kept in the settings store,
// and the menu actions that show it.
#pragma once

#include "framework/settingsstore.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QAction;

namespace zento {

class RecentFileList : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxEntries = 4;

    explicit RecentFileList(SettingsStore store, QObject* parent = nullptr);

    const QStringList& files() const { return m_files; }

    // Puts the file first (once only, by its absolute path), drops the oldest beyond four and
    // saves the list.
    void add(const QString& path);
    // Forgets the file, e.g. after it failed to open, and saves the list.
    void remove(const QString& path);

    // For the "&Archivo" menu, in order: the disabled placeholder "Archivo reciente", visible
    // while the list is empty, then one action per entry (ids ID_FILE_MRU_FILE1..4), visible
    // while it holds a file. Triggering an entry emits openRequested with its path.
    QList<QAction*> actions() const;

signals:
    void changed();
    void openRequested(const QString& path);

private:
    void load();
    void save() const;
    void update();
    int indexOf(const QString& absolutePath) const;

    SettingsStore m_store;
    QStringList m_files;
    QAction* m_placeholder;
    QList<QAction*> m_entries;
};

} // namespace zento
