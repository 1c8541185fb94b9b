#include "settingsstore.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>

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

QString SettingsStore::sync()
{
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return QString();
    // QSettings keeps no reason: a scratch file beside the store asks the
    // system for it.
    const QString file = m_settings->fileName();
    QTemporaryFile probe(file + QStringLiteral(".XXXXXX"));
    QString reason;
    if (!probe.open())
        reason = probe.errorString();
    else if (probe.write("x", 1) != 1 || !probe.flush())
        reason = probe.errorString();
    else
        reason = QStringLiteral("the file cannot be replaced");
    return QStringLiteral("The settings could not be saved to\n%1\n(%2)")
        .arg(QFileInfo(file).filePath(), reason);
}
