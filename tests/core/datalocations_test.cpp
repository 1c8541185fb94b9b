#include "core/datalocations.h"
#include "core/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Sets VORN_HOME for the test's lifetime.
class VornHome
{
public:
    explicit VornHome(const QString &path)
        : m_old(qgetenv("VORN_HOME"))
        , m_had(qEnvironmentVariableIsSet("VORN_HOME"))
    {
        qputenv("VORN_HOME", path.toLocal8Bit());
    }
    ~VornHome()
    {
        if (m_had)
            qputenv("VORN_HOME", m_old);
        else
            qunsetenv("VORN_HOME");
    }

private:
    QByteArray m_old;
    bool m_had;
};

} // namespace

TEST(DataLocations, VornHomeHoldsThePlayListsAndTheSettings)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("not/yet/there"));
    VornHome env(home);
    EXPECT_EQ(programFolder(), QDir(home).absolutePath());
    EXPECT_TRUE(QDir(home).exists());

    {
        const std::unique_ptr<SettingsStore> store = openSettingsStore();
        store->SaveSetting(QStringLiteral("Preferences"), QStringLiteral("MainW"),
                           QStringLiteral("9000"));
        store->sync();
    }
    QFile ini(QDir(home).filePath(QStringLiteral("VORN.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("[Preferences]"));
    EXPECT_TRUE(text.contains("MainW=9000"));
}
