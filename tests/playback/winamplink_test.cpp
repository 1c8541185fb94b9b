#include "playback/winamplink.h"
#include "support/fakewindowsystem.h"
#include "support/paramname.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using Message = FakeWindowSystem::Message;

constexpr unsigned kClose = 16;
constexpr unsigned kCommand = 273;
constexpr unsigned kUser = 1024;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class WinampLinkTest : public ::testing::Test
{
protected:
    WinampLinkTest()
    {
        auto windows = std::make_unique<FakeWindowSystem>();
        desktop = windows.get();
        link = std::make_unique<WinampLink>(std::move(windows));
    }

    // A running player that the link has already found once.
    void linkToRunningWinamp()
    {
        desktop->runWinamp();
        ASSERT_TRUE(link->FindWinamp());
        desktop->messages.clear();
        desktop->timeline.clear();
    }

    QTemporaryDir dir;
    FakeWindowSystem *desktop = nullptr;
    std::unique_ptr<WinampLink> link;
};

// ---- discovery -----------------------------------------------------------

struct TitleCase
{
    const char *title;
    bool isMainWindow;
};

class WinampMainTitle : public ::testing::TestWithParam<TitleCase>
{
};

TEST_P(WinampMainTitle, DecidesWhetherTheWindowIsThePlayer)
{
    auto windows = std::make_unique<FakeWindowSystem>();
    FakeWindowSystem &desktop = *windows;
    WinampLink link(std::move(windows));
    desktop.addWindow(QStringLiteral("Untitled - Notepad"));
    const WindowHandle candidate = desktop.addWindow(QString::fromUtf8(GetParam().title));
    const WindowHandle equalizer = desktop.addWindow(QStringLiteral("Winamp Equalizer"));

    EXPECT_EQ(link.FindWinamp(), GetParam().isMainWindow);
    EXPECT_EQ(link.hWinamp(), GetParam().isMainWindow ? candidate : 0);
    EXPECT_EQ(link.hWinampEQ(), equalizer);
}

INSTANTIATE_TEST_SUITE_P(Titles, WinampMainTitle,
                         ::testing::Values(TitleCase{"Winamp 2.24", true},
                                           TitleCase{"Winamp   5.9", true},
                                           TitleCase{"Winamp Playlist Editor", false},
                                           TitleCase{"Winamp", false}, TitleCase{"Winamp 0", false},
                                           TitleCase{"winamp 2.24", false},
                                           TitleCase{"1. Artist - Song - Winamp", true},
                                           TitleCase{"1. Artist - Song - Winamp [Paused]", true},
                                           TitleCase{"1. Artist - Song - winamp", false},
                                           TitleCase{"Artist - Song", false}),
                         [](const ::testing::TestParamInfo<TitleCase> &info) {
                             return readableCaseName(info.param.title, info.index);
                         });

TEST_F(WinampLinkTest, LowerCaseEqualizerTitleIsNotTheEqualizer)
{
    desktop->addWindow(QStringLiteral("Winamp 2.24"));
    desktop->addWindow(QStringLiteral("winamp equalizer"));
    EXPECT_FALSE(link->FindWinamp());
    EXPECT_EQ(link->hWinampEQ(), 0u);
}

TEST_F(WinampLinkTest, OwnedWindowsAreIgnoredWhateverTheirTitle)
{
    const WindowHandle parent = desktop->addWindow(QStringLiteral("Some program"));
    desktop->addWindow(QStringLiteral("Winamp 2.24"), parent);
    desktop->addWindow(QStringLiteral("Winamp Equalizer"));
    EXPECT_FALSE(link->FindWinamp());
    EXPECT_EQ(link->hWinamp(), 0u);

    const WindowHandle main = desktop->addWindow(QStringLiteral("Winamp 2.24"));
    EXPECT_TRUE(link->FindWinamp());
    EXPECT_EQ(link->hWinamp(), main);
}

TEST_F(WinampLinkTest, FirstDiscoveryNeedsBothWindowsButRemembersTheMainWindow)
{
    const WindowHandle main = desktop->addWindow(QStringLiteral("Winamp 2.24"));
    EXPECT_FALSE(link->FindWinamp());
    EXPECT_EQ(link->hWinamp(), main);

    // Once the main window is known, meeting the equalizer is enough, even
    // while the main window's title says nothing.
    desktop->setTitle(main, QStringLiteral("Loading..."));
    const WindowHandle equalizer = desktop->addWindow(QStringLiteral("Winamp Equalizer"));
    EXPECT_TRUE(link->FindWinamp());
    EXPECT_EQ(link->hWinamp(), main);
    EXPECT_EQ(link->hWinampEQ(), equalizer);
}

TEST_F(WinampLinkTest, EitherWindowIsEnoughOnceBothAreKnown)
{
    desktop->runWinamp();
    ASSERT_TRUE(link->FindWinamp());
    const WindowHandle main = desktop->winamp().main;

    const WindowHandle equalizer = desktop->winamp().equalizer;

    // The equalizer no longer recognisable by its title: the main window
    // finds the player, and level commands go to the remembered equalizer.
    desktop->setTitle(equalizer, QStringLiteral("Equalizer"));
    EXPECT_TRUE(link->FindWinamp());
    link->WinampLevelUp();
    EXPECT_EQ(desktop->winamp().levelSteps, 1);

    // The main window's title not recognisable: the equalizer finds the
    // player, and commands go to the remembered main window.
    desktop->setTitle(equalizer, QStringLiteral("Winamp Equalizer"));
    desktop->setTitle(main, QStringLiteral("Playlist"));
    desktop->winamp().state = 1;
    EXPECT_EQ(link->WinampIsPlaying(), 1);
    EXPECT_EQ(link->hWinamp(), main);
}

TEST_F(WinampLinkTest, DiscoveryFailsOnceThePlayerHasExited)
{
    linkToRunningWinamp();
    desktop->exitWinamp();
    EXPECT_FALSE(link->FindWinamp());
    EXPECT_NE(link->hWinamp(), 0u);
    EXPECT_NE(link->hWinampEQ(), 0u);
}

TEST_F(WinampLinkTest, RestartedPlayerIsDrivenThroughItsNewWindows)
{
    linkToRunningWinamp();
    desktop->exitWinamp();
    // The new equalizer comes first in the enumeration; the old main window
    // is gone and must not be taken for the player.
    desktop->runWinamp(QStringLiteral("Winamp 2.24"), /*equalizerFirst=*/true);
    desktop->winamp().state = 3;

    EXPECT_EQ(link->WinampIsPlaying(), 3);
    EXPECT_EQ(link->hWinamp(), desktop->winamp().main);
}

TEST_F(WinampLinkTest, LongSongTitleStillMarksTheMainWindow)
{
    const QString title =
        QStringLiteral("12. ") + QString(150, QLatin1Char('x')) + QStringLiteral(" - Winamp");
    const WindowHandle main = desktop->addWindow(title);
    desktop->addWindow(QStringLiteral("Winamp Equalizer"));
    EXPECT_TRUE(link->FindWinamp());
    EXPECT_EQ(link->hWinamp(), main);
}

// ---- commands and queries ------------------------------------------------

TEST_F(WinampLinkTest, WithoutPlayerNothingIsSentAndQueriesAnswerZero)
{
    desktop->addWindow(QStringLiteral("Winamp 2.24"));
    link->WinampClearList();
    link->WinampAddFile(QStringLiteral("/music/a.mp3"));
    link->WinampStartPlay();
    link->WinampPlayButton();
    link->WinampPauseButton();
    link->WinampStopButton();
    link->WinampFadeOutStop();
    link->WinampVolumeUp();
    link->WinampVolumeDown();
    link->WinampLevelUp();
    link->WinampLevelDown();
    link->CloseWinamp();
    EXPECT_EQ(link->WinampIsPlaying(), 0);
    EXPECT_EQ(link->WinampGetPosition(), 0);
    EXPECT_EQ(link->WinampGetLength(), 0);
    EXPECT_TRUE(desktop->messages.empty());
}

struct CommandCase
{
    const char *name;
    std::function<void(WinampLink &)> operation;
    bool toEqualizer;
    unsigned message;
    quintptr wParam;
    qintptr lParam;
};

TEST_F(WinampLinkTest, EachCommandSendsItsMessageToItsWindow)
{
    const CommandCase cases[] = {
        {"clear list", [](WinampLink &l) { l.WinampClearList(); }, false, kUser, 0, 101},
        {"start play", [](WinampLink &l) { l.WinampStartPlay(); }, false, kUser, 0, 102},
        {"is playing", [](WinampLink &l) { l.WinampIsPlaying(); }, false, kUser, 0, 104},
        {"position", [](WinampLink &l) { l.WinampGetPosition(); }, false, kUser, 0, 105},
        {"length", [](WinampLink &l) { l.WinampGetLength(); }, false, kUser, 1, 105},
        {"play", [](WinampLink &l) { l.WinampPlayButton(); }, false, kCommand, 40045, 0},
        {"pause", [](WinampLink &l) { l.WinampPauseButton(); }, false, kCommand, 40046, 0},
        {"stop", [](WinampLink &l) { l.WinampStopButton(); }, false, kCommand, 40047, 0},
        {"fade out", [](WinampLink &l) { l.WinampFadeOutStop(); }, false, kCommand, 40147, 0},
        {"volume up", [](WinampLink &l) { l.WinampVolumeUp(); }, false, kCommand, 40058, 0},
        {"volume down", [](WinampLink &l) { l.WinampVolumeDown(); }, false, kCommand, 40059, 0},
        {"level up", [](WinampLink &l) { l.WinampLevelUp(); }, true, kCommand, 40277, 0},
        {"level down", [](WinampLink &l) { l.WinampLevelDown(); }, true, kCommand, 40278, 0},
    };
    linkToRunningWinamp();
    for (const CommandCase &c : cases) {
        SCOPED_TRACE(c.name);
        desktop->messages.clear();
        c.operation(*link);
        const WindowHandle target =
            c.toEqualizer ? desktop->winamp().equalizer : desktop->winamp().main;
        ASSERT_EQ(desktop->messages.size(), 1u);
        EXPECT_EQ(desktop->messages[0], (Message{false, target, c.message, c.wParam, c.lParam}));
    }
}

TEST_F(WinampLinkTest, PlaysAFileHandedOverCharacterByCharacter)
{
    linkToRunningWinamp();
    desktop->winamp().playList << QStringLiteral("old.mp3");
    link->WinampClearList();
    link->WinampAddFile(QStringLiteral("C:\\Music\\Café.mp3"));
    link->WinampStartPlay();
    desktop->winamp().positionMs = 65400;
    desktop->winamp().lengthSeconds = 185;

    EXPECT_EQ(desktop->winamp().playList, QStringList{QStringLiteral("C:\\Music\\Café.mp3")});
    EXPECT_EQ(link->WinampIsPlaying(), 1);
    EXPECT_EQ(link->WinampGetPosition(), 65400);
    EXPECT_EQ(link->WinampGetLength(), 185);

    link->WinampPauseButton();
    EXPECT_EQ(link->WinampIsPlaying(), 3);
    EXPECT_EQ(link->WinampGetPosition(), 65400);
    link->WinampPlayButton();
    EXPECT_EQ(link->WinampIsPlaying(), 1);
    link->WinampFadeOutStop();
    EXPECT_EQ(desktop->winamp().fadeOuts, 1);
    EXPECT_EQ(link->WinampIsPlaying(), 0);
    EXPECT_EQ(link->WinampGetPosition(), 0);
}

TEST_F(WinampLinkTest, FileNameArrivesInOrderEndedByZero)
{
    linkToRunningWinamp();
    link->WinampAddFile(QStringLiteral("Aé1"));

    std::vector<Message> expected;
    for (const quintptr code : {quintptr('A'), quintptr(0xE9), quintptr('1'), quintptr(0)})
        expected.push_back({true, desktop->winamp().main, kUser, code, 100});
    EXPECT_EQ(desktop->messages, expected);
}

TEST_F(WinampLinkTest, EmptyFileNamePostsOnlyTheZero)
{
    linkToRunningWinamp();
    link->WinampAddFile(QString());
    ASSERT_EQ(desktop->messages.size(), 1u);
    EXPECT_EQ(desktop->messages[0], (Message{true, desktop->winamp().main, kUser, 0, 100}));
    EXPECT_TRUE(desktop->winamp().playList.isEmpty());
}

TEST_F(WinampLinkTest, EveryCharacterIsSurroundedByMessageLoopYields)
{
    linkToRunningWinamp();
    link->WinampAddFile(QStringLiteral("ab"));
    const QString perCharacter =
        QString(6, QLatin1Char('y')) + QLatin1Char('p') + QString(12, QLatin1Char('y'));
    EXPECT_EQ(desktop->timeline, perCharacter.repeated(3));
}

// ---- start and close -----------------------------------------------------

TEST_F(WinampLinkTest, StartWhileRunningLaunchesNothingAndEditsNoFile)
{
    const QString program = dir.filePath(QStringLiteral("winamp.exe"));
    const QString ini = dir.filePath(QStringLiteral("winamp.ini"));
    writeFile(program, "program");
    writeFile(ini, "[Winamp]\r\nmw_open=1\r\n");
    desktop->runWinamp();

    EXPECT_TRUE(link->StartWinamp(program));
    EXPECT_TRUE(desktop->launched.isEmpty());
    EXPECT_TRUE(link->WinampIniPath().isEmpty());

    link->CloseWinamp();
    EXPECT_EQ(desktop->messages.back(), (Message{true, desktop->winamp().main, kClose, 0, 0}));
    desktop->processEvents();
    EXPECT_FALSE(desktop->winampRunning());
    EXPECT_EQ(readFile(ini), QByteArray("[Winamp]\r\nmw_open=1\r\n"));
}

TEST_F(WinampLinkTest, StartPreparesTheSettingsFileThenLaunchesHidden)
{
    const QString program = dir.filePath(QStringLiteral("Winamp.exe"));
    const QString ini = dir.filePath(QStringLiteral("Winamp.ini"));
    writeFile(program, "program");
    writeFile(ini, "; player settings\r\n[Winamp]\r\noutdir=C:\\out\r\nmw_open=1\r\n"
                   "[Other]\r\nx=1\r\n");
    QByteArray iniAtLaunch;
    desktop->onLaunch = [&](const QString &) { iniAtLaunch = readFile(ini); };

    EXPECT_TRUE(link->StartWinamp(program));
    EXPECT_EQ(desktop->launched, QStringList{program});
    EXPECT_EQ(iniAtLaunch, QByteArray("; player settings\r\n[Winamp]\r\noutdir=C:\\out\r\n"
                                      "mw_open=0\r\neq_open=0\r\npe_open=0\r\nss_open=0\r\n"
                                      "autoload_eq=1\r\nuse_eq=1\r\n[Other]\r\nx=1\r\n"));
    EXPECT_EQ(link->WinampIniPath(), ini);
}

TEST_F(WinampLinkTest, StartWritesTheSixKeysInOrderIntoANewSettingsFile)
{
    const QString program = dir.filePath(QStringLiteral("winamp.exe"));
    writeFile(program, "program");
    EXPECT_TRUE(link->StartWinamp(program));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("winamp.ini"))),
              QByteArray("[Winamp]\r\neq_open=0\r\nmw_open=0\r\npe_open=0\r\nss_open=0\r\n"
                         "autoload_eq=1\r\nuse_eq=1\r\n"));
}

TEST_F(WinampLinkTest, FailedLaunchAnswersFalse)
{
    const QString program = dir.filePath(QStringLiteral("winamp.exe"));
    writeFile(program, "program");
    desktop->launchSucceeds = false;
    EXPECT_FALSE(link->StartWinamp(program));
    EXPECT_EQ(desktop->launched.size(), 1);
}

TEST_F(WinampLinkTest, MissingProgramGetsNoSettingsFile)
{
    desktop->launchSucceeds = false;
    EXPECT_FALSE(link->StartWinamp(dir.filePath(QStringLiteral("winamp.exe"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("winamp.ini"))));
    EXPECT_TRUE(link->WinampIniPath().isEmpty());
    EXPECT_FALSE(link->StartWinamp(QString()));
    EXPECT_FALSE(QFile::exists(QStringLiteral("ini")));
}

TEST_F(WinampLinkTest, CloseOfAStartedPlayerShowsItsMainWindowNextTime)
{
    const QString program = dir.filePath(QStringLiteral("winamp.exe"));
    writeFile(program, "program");
    ASSERT_TRUE(link->StartWinamp(program));
    ASSERT_TRUE(link->FindWinamp());
    const WindowHandle main = desktop->winamp().main;

    link->CloseWinamp();
    EXPECT_EQ(desktop->messages.back(), (Message{true, main, kClose, 0, 0}));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("winamp.ini"))),
              QByteArray("[Winamp]\r\neq_open=0\r\nmw_open=1\r\npe_open=0\r\nss_open=0\r\n"
                         "autoload_eq=1\r\nuse_eq=1\r\n"));
    desktop->processEvents();
    EXPECT_FALSE(link->FindWinamp());
}

TEST_F(WinampLinkTest, NamesThePlayerWinamp)
{
    EXPECT_EQ(link->playerName(), QStringLiteral("Winamp"));
}

} // namespace
