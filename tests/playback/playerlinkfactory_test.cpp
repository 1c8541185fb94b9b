#include "playback/playerlinkfactory.h"
#include "support/paramname.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The mpv link's default socket lives in the runtime folder; a temporary one
// keeps these tests from touching the user's folders.
class PlayerLinkFactory : public ::testing::Test
{
protected:
    PlayerLinkFactory()
        : m_old(qgetenv("XDG_RUNTIME_DIR"))
        , m_hadOld(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }
    ~PlayerLinkFactory() override
    {
        if (m_hadOld)
            qputenv("XDG_RUNTIME_DIR", m_old);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }

private:
    QTemporaryDir m_runtime;
    QByteArray m_old;
    bool m_hadOld;
};

struct PathCase
{
    const char *path;
    bool winamp;
};

class PlayerSelection : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(PlayerSelection, WinampProtocolForProgramsNamedWinamp)
{
    EXPECT_EQ(usesWinampProtocol(QString::fromUtf8(GetParam().path)), GetParam().winamp);
}

INSTANTIATE_TEST_SUITE_P(Paths, PlayerSelection,
                         ::testing::Values(PathCase{"C:\\Program Files\\Winamp\\winamp.exe", true},
                                           PathCase{"C:\\Program Files\\Winamp\\WINAMP.EXE", true},
                                           PathCase{"/opt/players/WinAmp3.exe", true},
                                           PathCase{"winamp", true}, PathCase{"", false},
                                           PathCase{"/usr/bin/mpv", false},
                                           PathCase{"C:\\Winamp\\mpv.exe", false},
                                           PathCase{"/opt/winamp/player", false},
                                           PathCase{"/opt/players/my-winamp.exe", false}),
                         [](const ::testing::TestParamInfo<PathCase> &info) {
                             return readableCaseName(info.param.path, info.index);
                         });

TEST_F(PlayerLinkFactory, GivesTheMpvLinkForOtherPlayers)
{
    EXPECT_EQ(createPlayerLink(QStringLiteral("/usr/bin/mpv"))->playerName(),
              QStringLiteral("mpv"));
    EXPECT_EQ(createPlayerLink(QString())->playerName(), QStringLiteral("mpv"));
}

TEST_F(PlayerLinkFactory, GivesTheWinampLinkWhereWindowsMessagesExist)
{
#ifdef Q_OS_WIN
    const QString expected = QStringLiteral("Winamp");
#else
    const QString expected = QStringLiteral("mpv");
#endif
    EXPECT_EQ(createPlayerLink(QStringLiteral("C:\\Winamp\\winamp.exe"))->playerName(), expected);
}

} // namespace
