#pragma once

#include "settingkey.h"

#include <QString>

#include <memory>

class QSettings;

// Text values addressed by section and key, for the application "VORN".
// Nothing is ever deleted; a missing key reads as the caller's default.
class SettingsStore
{
public:
    // The platform's default store for the application "VORN".
    SettingsStore();
    // An INI file at the given path (created on first write).
    explicit SettingsStore(const QString &iniPath);
    ~SettingsStore();

    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    QString GetSetting(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    void SaveSetting(const QString &section, const QString &key, const QString &text);

    // Typed access through an owner's key constant.
    QString value(const SettingKey &key) const;
    QString value(const SettingKey &key, const QString &defaultValue) const;
    void save(const SettingKey &key, const QString &text);

    // Writes pending changes to permanent storage. Returns what the user is
    // told when that failed, with the system's reason, or empty.
    QString sync();

private:
    std::unique_ptr<QSettings> m_settings;
};
