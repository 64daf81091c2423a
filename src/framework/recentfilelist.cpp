// The recent-file list.
#include "framework/recentfilelist.h"

#include "framework/commands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <utility>

namespace zento {

namespace {

const QString kGroup = QStringLiteral("Recent File List");

QString entryKey(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}

QString absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

constexpr Qt::CaseSensitivity kPathCase =
#ifdef Q_OS_WIN
    Qt::CaseInsensitive;
#else
    Qt::CaseSensitive;
#endif

} // namespace

RecentFileList::RecentFileList(SettingsStore store, QObject* parent)
    : QObject(parent), m_store(std::move(store)) {
    m_placeholder = createCommandAction(ID_FILE_MRU_FILE1, this);
    m_placeholder->setObjectName(QStringLiteral("recentFilePlaceholder"));
    m_placeholder->setProperty(kCommandIdProperty, QVariant());
    m_placeholder->setEnabled(false);
    for (int i = 0; i < kMaxEntries; ++i) {
        QAction* entry = createCommandAction(CommandId(ID_FILE_MRU_FILE1 + i), this);
        connect(entry, &QAction::triggered, this, [this, i] {
            if (i < m_files.size())
                emit openRequested(m_files.at(i));
        });
        m_entries.append(entry);
    }
    load();
    update();
}

void RecentFileList::add(const QString& path) {
    if (path.isEmpty())
        return;
    const QString file = absolute(path);
    if (const int at = indexOf(file); at >= 0)
        m_files.removeAt(at);
    m_files.prepend(file);
    while (m_files.size() > kMaxEntries)
        m_files.removeLast();
    save();
    update();
}

void RecentFileList::remove(const QString& path) {
    const int at = indexOf(absolute(path));
    if (at < 0)
        return;
    m_files.removeAt(at);
    save();
    update();
}

QList<QAction*> RecentFileList::actions() const {
    QList<QAction*> all{m_placeholder};
    all.append(m_entries);
    return all;
}

int RecentFileList::indexOf(const QString& absolutePath) const {
    for (int i = 0; i < m_files.size(); ++i) {
        if (m_files.at(i).compare(absolutePath, kPathCase) == 0)
            return i;
    }
    return -1;
}

void RecentFileList::load() {
    const auto settings = m_store.open();
    settings->beginGroup(kGroup);
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString file = settings->value(entryKey(i)).toString();
        if (!file.isEmpty() && indexOf(absolute(file)) < 0)
            m_files.append(absolute(file));
    }
}

void RecentFileList::save() const {
    const auto settings = m_store.open();
    settings->beginGroup(kGroup);
    for (int i = 0; i < kMaxEntries; ++i) {
        if (i < m_files.size())
            settings->setValue(entryKey(i), m_files.at(i));
        else
            settings->remove(entryKey(i));
    }
}

void RecentFileList::update() {
    m_placeholder->setVisible(m_files.isEmpty());
    for (int i = 0; i < kMaxEntries; ++i) {
        QAction* entry = m_entries.at(i);
        const bool used = i < m_files.size();
        entry->setVisible(used);
        if (used) {
            QString shown = QDir::toNativeSeparators(m_files.at(i));
            shown.replace(QLatin1Char('&'), QLatin1String("&&"));
            entry->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        } else {
            entry->setText(QString());
        }
    }
    emit changed();
}

} // namespace zento
