#include "library/playlistcommands.h"
#include "library/playlistlibrarymodel.h"
#include "library/playlistlibraryview.h"
#include "library/songlistactions.h"
#include "library/songlistmodel.h"
#include "shell/mainactions.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QDir>
#include <QMenu>

namespace {

class frmMainCommandsTest : public frmMainFixture
{
protected:
    QStringList names(frmMain &window) const
    {
        QStringList all;
        for (int row = 0; row < window.library().count(); ++row)
            all << window.library().entry(row).name;
        return all;
    }
    QStringList titles(frmMain &window) const
    {
        QStringList all;
        for (const SongRow &row : window.songs().rows())
            all << row.title();
        return all;
    }
};

TEST_F(frmMainCommandsTest, TheMenusAndToolbarReachThePlayListCommands)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    const MainActions &a = window->mainActions();

    a.mnuPLNew->trigger();
    EXPECT_EQ(names(*window), (QStringList{"Rock", "Untitled"}));
    EXPECT_EQ(panel(*window, "pPlayLists"), QStringLiteral("2 Play Lists"));

    QDir(dir.path()).mkdir(QStringLiteral("lists"));
    const QString m3u = path(QStringLiteral("lists/Evening.m3u"));
    writeBytes(m3u, "#EXTM3U\n#EXTINF:200,A - B\n/music/a.mp3\nsub\\b.mid\n");
    dialogs.fileAnswers = {{m3u}};
    a.tbOpenPlayList->trigger();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].title, QStringLiteral("Open Play List Files"));
    EXPECT_EQ(names(*window).last(), QStringLiteral("Evening"));
    EXPECT_EQ(titles(*window), (QStringList{"a", "b"}));
    EXPECT_EQ(window->songs().row(1).field(chFile), path(QStringLiteral("lists/sub/b.mid")));

    // Delete selects the entry above and shows its songs.
    a.mnuPLDelete->trigger();
    EXPECT_EQ(names(*window), (QStringList{"Rock", "Untitled"}));
    EXPECT_FALSE(exists(QStringLiteral("Evening.sdf")));
    window->findChild<PlayListLibraryView *>("lvPlayLists")
        ->selectionModel()
        ->setCurrentIndex(window->library().index(0, 0),
                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    window->commands().lvPlayLists_MouseUp(Qt::LeftButton, 0);
    EXPECT_EQ(titles(*window), (QStringList{"One", "Two", "Three"}));

    dialogs.answers = {DialogAnswer::No, DialogAnswer::No};
    EXPECT_TRUE(closeWindow(*window));
}

TEST_F(frmMainCommandsTest, AShortcutListsItsFolderAndSwitchesOffAddingSongs)
{
    const QString folder = path(QStringLiteral("Jukebox"));
    QDir().mkpath(folder + QStringLiteral("/sub"));
    for (const char *name : {"b.mp3", "a.wav", "c.mid", "sub/d.mid", "notes.txt"})
        writeBytes(folder + QLatin1Char('/') + QLatin1String(name), "x");
    auto window = start();
    const MainActions &a = window->mainActions();

    dialogs.folderAnswers = {folder};
    a.tbbShortcut->trigger();
    ASSERT_EQ(dialogs.folderPrompts.size(), 1u);
    EXPECT_EQ(dialogs.folderPrompts[0],
              QStringLiteral("Select the directory to create a shortcut"));
    EXPECT_EQ(names(*window), QStringList{"Shortcut to Jukebox"});
    EXPECT_EQ(titles(*window), (QStringList{"c", "b", "a"}));
    EXPECT_FALSE(a.tbAdd->isEnabled());
    EXPECT_FALSE(a.tbRemove->isEnabled());
    EXPECT_FALSE(window->songActions().tbAdd->isEnabled());
    EXPECT_FALSE(window->songActions().mnuSongsRemove->isEnabled());

    a.mnuPLNew->trigger();
    EXPECT_TRUE(a.tbAdd->isEnabled());
    EXPECT_TRUE(window->songActions().tbAdd->isEnabled());

    dialogs.answers = {DialogAnswer::No, DialogAnswer::No};
    EXPECT_TRUE(closeWindow(*window));
}

TEST_F(frmMainCommandsTest, ListsDroppedOnTheLibraryMergeWithCtrlAndOtherwiseBecomeNew)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    const QString list = path(QStringLiteral("Party.pls"));
    writeBytes(list, "[playlist]\nFile1=/music/x.mp3\nNumberOfEntries=1\n");
    auto *view = window->findChild<PlayListLibraryView *>("lvPlayLists");

    emit view->filesDropped({list}, true);
    EXPECT_EQ(names(*window), QStringList{"Rock"});
    EXPECT_EQ(titles(*window).last(), QStringLiteral("x"));
    EXPECT_EQ(window->library().entry(0).tag, QStringLiteral("*"));

    emit view->filesDropped({list}, false);
    EXPECT_EQ(names(*window), (QStringList{"Rock", "Party"}));
    EXPECT_EQ(titles(*window), QStringList{"x"});

    dialogs.answers = {DialogAnswer::No, DialogAnswer::No};
    EXPECT_TRUE(closeWindow(*window));
}

} // namespace
