// Where the per-user settings live: the store of the organisation and application below, or a
// file of its own (tests, so that they never touch the user's real settings).
#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace zento {

inline constexpr char kSettingsOrganization[] = "Local AppWizard-Generated Applications";
inline constexpr char kSettingsApplication[] = "ZENTO";

class SettingsStore {
public:
    SettingsStore() = default;               // the user's store for ZENTO
    explicit SettingsStore(QString iniFile); // an INI file instead

    std::unique_ptr<QSettings> open() const;
    const QString& iniFile() const { return m_iniFile; } // empty for the user's store

private:
    QString m_iniFile;
};

} // namespace zento
