// Opening the settings store.
#include "framework/settingsstore.h"

#include <QSettings>

#include <utility>

namespace zento {

SettingsStore::SettingsStore(QString iniFile) : m_iniFile(std::move(iniFile)) {}

std::unique_ptr<QSettings> SettingsStore::open() const {
    if (!m_iniFile.isEmpty())
        return std::make_unique<QSettings>(m_iniFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(kSettingsOrganization),
                                       QString::fromLatin1(kSettingsApplication));
}

} // namespace zento
