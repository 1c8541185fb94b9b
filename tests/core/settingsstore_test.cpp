#include "core/settingsstore.h"
#include "shell/shellsettings.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SettingsStore, ReturnsTheDefaultUntilAValueIsSavedAndKeepsItAcrossInstances)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("VORN.ini"));
    {
        SettingsStore store(ini);
        EXPECT_EQ(store.GetSetting(QStringLiteral("Preferences"), QStringLiteral("MainW"),
                                   QStringLiteral("8500")),
                  QStringLiteral("8500"));
        EXPECT_EQ(store.value(ShellSettings::kMainH), QStringLiteral("5500"));
        store.SaveSetting(QStringLiteral("Preferences"), QStringLiteral("MainW"),
                          QStringLiteral("1980"));
        store.save(ShellSettings::kWinamp, QStringLiteral("/opt/players/a, b/mpv"));
        store.SaveSetting(QStringLiteral("Mixer"), QStringLiteral("SAL"), QStringLiteral("1"));
    }
    SettingsStore reopened(ini);
    EXPECT_EQ(reopened.value(ShellSettings::kMainW), QStringLiteral("1980"));
    EXPECT_EQ(reopened.value(ShellSettings::kWinamp), QStringLiteral("/opt/players/a, b/mpv"));
    EXPECT_EQ(reopened.GetSetting(QStringLiteral("Mixer"), QStringLiteral("SAL"), QString()),
              QStringLiteral("1"));
    // Sections keep their keys apart.
    EXPECT_EQ(reopened.GetSetting(QStringLiteral("Preferences"), QStringLiteral("SAL"),
                                  QStringLiteral("none")),
              QStringLiteral("none"));
}

TEST(SettingsStore, ReadsAHandEditedValueWithACommaWhole)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("VORN.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Preferences]\nBanner_FontName=Arial, Bold\n");
    file.close();
    SettingsStore store(ini);
    EXPECT_EQ(store.GetSetting(QStringLiteral("Preferences"), QStringLiteral("Banner_FontName"),
                               QString()),
              QStringLiteral("Arial, Bold"));
}
