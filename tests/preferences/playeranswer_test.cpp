// A new player location whose program does not answer as a player is
// reported in the status bar and the log, without a box, while the player in
// use plays on; a real player is taken without a word.
#include "playback/playeractions.h"
#include "preferences/frmpreferences.h"
#include "shell/playeranswercheck.h"
#include "shell/shellsettings.h"
#include "support/frmmainfixture.h"
#include "support/nullaudiompv.h"
#include "support/playerprocesses.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

class PlayerAnswer : public frmMainFixture
{
protected:
    void SetUp() override
    {
        if (!NullAudioMpv::installed())
            GTEST_SKIP() << "mpv is not installed";
    }

    // Types `player` into the preferences over what was there and presses OK.
    static void choosePlayer(frmMain &window, const QString &player)
    {
        QTimer::singleShot(0, &window, [player] {
            auto *dialog = qobject_cast<frmPreferences *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto *path = dialog->findChild<QLineEdit *>(QStringLiteral("txtWAPath"));
            path->selectAll();
            QTest::keyClicks(path, player);
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")),
                              Qt::LeftButton);
        });
        window.playerActions().tbPreferences->trigger();
    }

private:
    NullAudioMpv m_nullAudio;
};

TEST_F(PlayerAnswer, AProgramThatIsNoPlayerIsReportedWithoutABoxAndAPlayerIsNot)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    window->playerActions().tbPlay->trigger();
    const std::size_t messages = dialogs.messages.size();

    choosePlayer(*window, QStringLiteral("/bin/true"));
    EXPECT_EQ(settings->value(ShellSettings::kWinamp), QStringLiteral("/bin/true"));
    ASSERT_TRUE(checked(*window));
    const QString note = window->statusBar()->currentMessage();
    EXPECT_TRUE(note.startsWith(QStringLiteral("/bin/true did not answer as mpv within 5 s")))
        << note.toStdString();
    EXPECT_TRUE(readBytes(path(QStringLiteral("VORN.log"))).contains(note.toUtf8()));
    EXPECT_EQ(dialogs.messages.size(), messages);
    EXPECT_TRUE(window->playerActions().tbPlay->isChecked());

    window->statusBar()->clearMessage();
    choosePlayer(*window, QStandardPaths::findExecutable(QStringLiteral("mpv")));
    ASSERT_TRUE(checked(*window));
    EXPECT_EQ(window->statusBar()->currentMessage(), QString());
    EXPECT_EQ(dialogs.messages.size(), messages);
}

// Closing VORN while a new location is checked ends the program the check
// started (the player in use here is a fake): no player of ours outlives the
// window.
TEST_F(PlayerAnswer, ClosingWhileALocationIsCheckedLeavesNoPlayer)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    // Never opens the socket: the check would wait its 5 s for it.
    const QString silent = path(QStringLiteral("silent"));
    writeBytes(silent, "#!/bin/sh\nsleep 10\n");
    QFile::setPermissions(silent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto window = start();
    window->playerActions().tbPlay->trigger();

    choosePlayer(*window, silent);
    auto *check = window->findChild<PlayerAnswerCheck *>();
    ASSERT_TRUE(check && check->isChecking());
    ASSERT_EQ(ownPlayers().size(), 1) << "the program checked";
    ASSERT_TRUE(closeWindow(*window));
    EXPECT_TRUE(ownPlayers().isEmpty());
    EXPECT_FALSE(check->isChecking());
}

} // namespace
