#include "banner/bannerstrip.h"
#include "core/settingsstore.h"
#include "core/twips.h"
#include "library/playlistlibrarymodel.h"
#include "library/playliststore.h"
#include "library/songlistactions.h"
#include "library/songlistmodel.h"
#include "library/songlistview.h"
#include "playback/playeractions.h"
#include "playback/playertoolbar.h"
#include "playback/playmonitor.h"
#include "shell/frmmain.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTableView>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace {

using frmMainTest = frmMainFixture;

TEST_F(frmMainTest, StartsWithTheStoredPlayListShownAndCounted)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    // An empty working copy without a stored file holds nothing to recover.
    writeBytes(path(QStringLiteral("Leftover.tmp")), "");

    auto window = makeWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("VORN"));
    EXPECT_FALSE(exists(QStringLiteral("Leftover.tmp")));
    EXPECT_EQ(panel(*window, "pPlayLists"), QStringLiteral("0 Play Lists"));
    EXPECT_EQ(panel(*window, "pMediaFiles"), QStringLiteral("0 Media files"));

    auto *tmrInit = window->findChild<QTimer *>(QStringLiteral("tmrInit"));
    auto *tmrHack = window->findChild<QTimer *>(QStringLiteral("tmrHack"));
    EXPECT_TRUE(tmrInit->isActive());
    EXPECT_EQ(tmrInit->interval(), 500);
    EXPECT_TRUE(tmrHack->isActive());
    EXPECT_EQ(tmrHack->interval(), 1000);

    window->show();
    window->tmrInit_Timer();
    EXPECT_FALSE(tmrInit->isActive());
    window->tmrHack_Timer();
    EXPECT_FALSE(tmrHack->isActive());

    auto *lvPlayLists = window->findChild<QTreeView *>(QStringLiteral("lvPlayLists"));
    auto *lvSongs = window->findChild<SongListView *>(QStringLiteral("lvSongs"))->detailsView();
    ASSERT_EQ(lvPlayLists->model()->rowCount(), 1);
    EXPECT_EQ(lvPlayLists->model()->index(0, 0).data().toString(), QStringLiteral("Rock"));
    ASSERT_EQ(lvSongs->model()->rowCount(), 3);
    EXPECT_EQ(lvSongs->model()->columnCount(), 6);
    EXPECT_EQ(lvSongs->model()->index(1, chArtist).data().toString(), QStringLiteral("B"));
    EXPECT_EQ(lvSongs->model()->headerData(chLen, Qt::Horizontal).toString(),
              QStringLiteral("Len"));

    // Each row shows the icon of its file type.
    EXPECT_GE(window->songs().row(0).icon, 3);
    EXPECT_EQ(window->songs().row(0).smallIcon, window->songs().row(1).smallIcon);
    EXPECT_FALSE(lvSongs->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());

    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.tmp"))), threeSongs);
    EXPECT_EQ(panel(*window, "pPlayLists"), QStringLiteral("1 Play Lists"));
    EXPECT_EQ(panel(*window, "pMediaFiles"), QStringLiteral("3 Media Files"));
    EXPECT_EQ(panel(*window, "pPlayTime"), QStringLiteral("Play Time 06:05"));
    EXPECT_EQ(window->ButtonCaptions().front(), QStringLiteral("New"));
    EXPECT_EQ(window->ButtonCaptions().back(), QStringLiteral("Pref"));
}

TEST_F(frmMainTest, FirstStartIsAQuarterOfTheScreenInAndRestoresWhereItWasClosed)
{
    auto window = start();
    const double dpi = window->screen()->logicalDotsPerInch();
    const QSize screen = window->screen()->geometry().size();
    // 8500 twips wide, unless the player toolbar with the schedule's button
    // needs more; then exactly that.
    EXPECT_EQ(window->size(),
              QSize(std::max(twipsToPixels(8500, dpi), window->playerToolBar().sizeHint().width()),
                    twipsToPixels(5500, dpi)));
    // The place is the window's own area, without the frame around it, a
    // quarter of the screen in; a window wider than the rest of the screen
    // is moved in until it fits.
    const QRect available = window->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(window->frameGeometry())) << window->frameGeometry().right();
    if (window->frameGeometry().right() < available.right())
        EXPECT_NEAR(window->geometry().x(), screen.width() / 4, 1);
    EXPECT_NEAR(window->geometry().y(), screen.height() / 4, 1);
    auto *textLabels = window->findChild<QAction *>(QStringLiteral("mnuViewTextLabels"));
    auto *banner = window->findChild<QAction *>(QStringLiteral("mnuViewBanner"));
    EXPECT_TRUE(textLabels->isChecked());
    EXPECT_TRUE(banner->isChecked());

    window->move(40, 60);
    window->resize(700, 450);
    banner->setChecked(false);
    const QPoint closedAt = window->pos();
    ASSERT_TRUE(closeWindow(*window));
    window.reset();

    reopenSettings();
    EXPECT_EQ(settings->GetSetting("Preferences", "MainW", {}),
              QString::number(pixelsToTwips(700, dpi)));
    EXPECT_EQ(settings->GetSetting("Preferences", "TextLabels", {}), QStringLiteral("1"));
    EXPECT_EQ(settings->GetSetting("Preferences", "ShowBanner", {}), QStringLiteral("0"));

    auto again = start();
    EXPECT_EQ(again->pos(), closedAt);
    EXPECT_EQ(again->size(), QSize(700, 450));
    EXPECT_TRUE(again->findChild<QAction *>(QStringLiteral("mnuViewTextLabels"))->isChecked());
    EXPECT_FALSE(again->findChild<QAction *>(QStringLiteral("mnuViewBanner"))->isChecked());
}

TEST_F(frmMainTest, TextLabelsAndBannerFollowTheirStoredTexts)
{
    const std::tuple<const char *, const char *, bool, bool> cases[] = {
        {"0", "0", false, false},
        {"2", "True", false, true},
        {"1", "5", true, true},
    };
    for (const auto &[labels, banner, labelsOn, bannerOn] : cases) {
        settings->SaveSetting("Preferences", "TextLabels", QLatin1String(labels));
        settings->SaveSetting("Preferences", "ShowBanner", QLatin1String(banner));
        auto window = start();
        EXPECT_EQ(window->findChild<QAction *>("mnuViewTextLabels")->isChecked(), labelsOn)
            << labels;
        EXPECT_EQ(window->findChild<QAction *>("mnuViewBanner")->isChecked(), bannerOn) << banner;
        ASSERT_TRUE(closeWindow(*window));
        EXPECT_EQ(settings->GetSetting("Preferences", "TextLabels", {}), labelsOn ? "1" : "0");
        EXPECT_EQ(settings->GetSetting("Preferences", "ShowBanner", {}), bannerOn ? "1" : "0");
    }
}

TEST_F(frmMainTest, CancellingTheClosingQuestionKeepsEverything)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    window->songs().appendRow(songRow(QStringLiteral("Four"), {}, QStringLiteral("01:00"), {}));
    window->SetModifyedPLFlag();
    const QByteArray workingCopy = readBytes(path(QStringLiteral("Rock.tmp")));

    dialogs.answers = {DialogAnswer::Cancel};
    EXPECT_FALSE(closeWindow(*window));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), threeSongs);
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.tmp"))), workingCopy);
    EXPECT_FALSE(QFile::exists(ini()));

    // No leaves the stored file as it was and deletes the working copy.
    dialogs.answers = {DialogAnswer::No};
    EXPECT_TRUE(closeWindow(*window));
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), threeSongs);
    EXPECT_FALSE(exists(QStringLiteral("Rock.tmp")));
}

TEST_F(frmMainTest, YesOnAnUntitledListAsksForANameBeforeClosing)
{
    auto window = start();
    window->NewPlayList(QString());
    window->songs().appendRow(
        songRow(QStringLiteral("Song"), {}, QStringLiteral("03:00"), QStringLiteral("/m/s.mp3")));
    window->SetModifyedPLFlag();
    EXPECT_EQ(panel(*window, "pPlayLists"), QStringLiteral("1 Play Lists"));

    dialogs.answers = {DialogAnswer::Yes};
    dialogs.promptAnswers = {QStringLiteral("Evening")};
    EXPECT_TRUE(closeWindow(*window));
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].title, QStringLiteral("Save As"));
    EXPECT_EQ(readBytes(path(QStringLiteral("Evening.sdf"))),
              storedLine({"Song", "", "", "", "03:00", "/m/s.mp3"}));
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.tmp")}).isEmpty());
}

TEST_F(frmMainTest, StartsWithWhateverRowsAHostileFileHolds)
{
    QByteArray noise;
    for (int i = 0; i < 5000; ++i)
        noise += static_cast<char>((i * 7919) % 256);
    writeBytes(path(QStringLiteral("Noise.sdf")), noise);
    writeBytes(path(QStringLiteral("Nuls.sdf")), QByteArray(1000, '\0'));
    writeBytes(path(QStringLiteral("Zero.sdf")), QByteArray());
    auto window = start();
    EXPECT_EQ(window->library().count(), 3);
    EXPECT_GT(window->songs().rowCount(), 0);
    window->store().selectPlayList(1);
    window->store().LoadPlayList(QStringLiteral("Nuls"));
    EXPECT_EQ(window->songs().rowCount(), 1);
    window->store().selectPlayList(2);
    window->store().LoadPlayList(QStringLiteral("Zero"));
    EXPECT_EQ(window->songs().rowCount(), 0);
    EXPECT_EQ(panel(*window, "pMediaFiles"), QStringLiteral("0 Media Files"));
    EXPECT_TRUE(closeWindow(*window));
}

} // namespace

namespace {

TEST_F(frmMainTest, TheSongCommandsReachTheSongList)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    const SongListActions &actions = window->songActions();

    const std::pair<QAction *, const char *> tips[] = {
        {actions.tbAdd, "Add media file(s)"},
        {actions.tbRemove, "Remove selected media file(s)"},
        {actions.tbUp, "Move Up"},
        {actions.tbDown, "Move Down"},
    };
    for (const auto &[action, tip] : tips)
        EXPECT_EQ(action->toolTip(), QLatin1String(tip));
    EXPECT_EQ(actions.tbPlayListOptions->orientation(), Qt::Vertical);
    EXPECT_EQ(actions.mnuSongsFadeAndPlay->text(), QStringLiteral("&Fade Out && Play"));
    EXPECT_EQ(actions.mnuSongs->actions().size(), 5);
    // The song menu is a pop-up only, never an entry of the menu bar.
    EXPECT_FALSE(window->menuBar()->actions().contains(actions.mnuSongs->menuAction()));

    QDir(dir.path()).mkdir(QStringLiteral("media"));
    const QString added = path(QStringLiteral("media/Added.mid"));
    writeBytes(added, "MThd");
    dialogs.fileAnswers = {{added}};
    actions.tbAdd->trigger();
    ASSERT_EQ(window->songs().rowCount(), 4);
    EXPECT_EQ(window->songs().row(3).title(), QStringLiteral("Added"));
    EXPECT_EQ(panel(*window, "pMediaFiles"), QStringLiteral("4 Media Files"));
    EXPECT_EQ(window->library().entry(0).tag, QStringLiteral("*"));

    window->songView().selectionModel()->select(window->songs().index(3, 0),
                                                QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    actions.tbUp->trigger();
    EXPECT_EQ(window->songs().row(2).title(), QStringLiteral("Added"));
    actions.mnuSongsRemove->trigger();
    EXPECT_EQ(window->songs().rowCount(), 3);
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.tmp"))), threeSongs);

    emit window->songView().filesDropped({added}, 0, false);
    EXPECT_EQ(window->songs().row(1).title(), QStringLiteral("Added"));
    EXPECT_EQ(panel(*window, "pMediaFiles"), QStringLiteral("4 Media Files"));

    dialogs.answers = {DialogAnswer::No};
    EXPECT_TRUE(closeWindow(*window));
}

} // namespace

namespace {

TEST_F(frmMainTest, WarnsAfterLoadingThePlayListsWhenNoPlayerStarts)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    settings->SaveSetting("Preferences", "Winamp", "/no/such/player");
    auto window = makeWindow();
    link->present = false;
    link->startSucceeds = false;
    int songsWhenWarned = -1;
    dialogs.onMessage = [&] { songsWhenWarned = window->songs().rowCount(); };
    window->show();
    window->tmrInit_Timer();

    EXPECT_EQ(link->lastStartPath, QStringLiteral("/no/such/player"));
    EXPECT_FALSE(window->PlayerLinked());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Error: mpv Not Found"));
    EXPECT_EQ(songsWhenWarned, 3);
    dialogs.onMessage = nullptr;
}

TEST_F(frmMainTest, ADoubleClickedSongPlaysAndClosingClosesThePlayer)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    window->tmrHack_Timer();
    EXPECT_TRUE(window->playerActions().tbStop->isChecked());
    auto *lvPlayLists = window->findChild<QTreeView *>(QStringLiteral("lvPlayLists"));

    link->lengthSeconds = 160;
    window->songView().selectionModel()->setCurrentIndex(window->songs().index(1, 0),
                                                         QItemSelectionModel::ClearAndSelect |
                                                             QItemSelectionModel::Rows);
    emit window->songView().songDoubleClicked(1);
    EXPECT_EQ(link->played, QStringList{"/m/2.mp3"});
    EXPECT_FALSE(lvPlayLists->isEnabled());
    EXPECT_FALSE(window->playerActions().tbStop->isChecked());

    // The monitor follows the song and moves on when it ends.
    link->positionMs = 80000;
    window->monitor().tmrMonitor_Timer();
    EXPECT_EQ(window->playerToolBar().lblTime()->text(), QStringLiteral("01:20:00"));
    EXPECT_EQ(window->banner().bannerText(), QStringLiteral("Two - B"));
    link->positionMs = 0;
    window->monitor().tmrMonitor_Timer();
    EXPECT_EQ(link->played, (QStringList{"/m/2.mp3", "/m/3.mid"}));

    window->playerActions().tbStop->trigger();
    EXPECT_TRUE(lvPlayLists->isEnabled());
    EXPECT_EQ(window->playerToolBar().lblTime()->text(), QStringLiteral("00:00:00"));

    EXPECT_TRUE(closeWindow(*window));
    EXPECT_EQ(link->log.last(), QStringLiteral("close"));
}

} // namespace
