#include "settingsstore.h"

#include <QSettings>
#include <QStringList>

namespace {

QString groupKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("VORN"), QStringLiteral("VORN")))
{}

SettingsStore::SettingsStore(const QString &iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::GetSetting(const QString &section, const QString &key,
                                  const QString &defaultValue) const
{
    const QVariant stored = m_settings->value(groupKey(section, key));
    if (!stored.isValid())
        return defaultValue;
    // An INI value edited by hand with an unquoted comma reads back as a list.
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList().join(QLatin1String(", "));
    return stored.toString();
}

void SettingsStore::SaveSetting(const QString &section, const QString &key, const QString &text)
{
    m_settings->setValue(groupKey(section, key), text);
}

QString SettingsStore::value(const SettingKey &key) const
{
    return value(key, QString::fromUtf8(key.defaultValue));
}

QString SettingsStore::value(const SettingKey &key, const QString &defaultValue) const
{
    return GetSetting(QString::fromUtf8(key.section), QString::fromUtf8(key.key), defaultValue);
}

void SettingsStore::save(const SettingKey &key, const QString &text)
{
    SaveSetting(QString::fromUtf8(key.section), QString::fromUtf8(key.key), text);
}

void SettingsStore::sync()
{
    m_settings->sync();
}
