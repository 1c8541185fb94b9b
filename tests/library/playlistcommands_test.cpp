#include "library/playlistfile.h"
#include "library/playlistname.h"
#include "support/librarystack.h"
#include "support/playlistfiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// The program folder holds the play lists; "media" and "lists" below it hold
// the files that the user adds and imports.
class PlayListCommandsTest : public ::testing::Test, protected LibraryStack
{
protected:
    PlayListCommandsTest()
    {
        PlayListCommands::Hooks hooks;
        hooks.updateStatusBar = [this] { refresh(); };
        hooks.setBusy = [this](bool busy) { busyDepth += busy ? 1 : -1; };
        hooks.setSongEditingEnabled = [this](bool on) { songEditing = on; };
        hooks.setMergeEnabled = [this](bool on) { mergeEnabled = on; };
        hooks.setPlayListCommandsEnabled = [this](bool on) { playListCommands = on; };
        hooks.showPlayListMenu = [this] { ++menusShown; };
        hooks.editPlayListName = [this](int row) { editedRows << row; };
        commands.setHooks(hooks);

        QDir(dir.path()).mkdir(QStringLiteral("media"));
        QDir(dir.path()).mkdir(QStringLiteral("lists"));
    }

    QString path(const QString &file) const { return dir.filePath(file); }
    bool exists(const QString &file) const { return QFile::exists(path(file)); }

    QString listFile(const QString &name, const QByteArray &bytes) const
    {
        const QString file = path(QStringLiteral("lists/") + name);
        writeBytes(file, bytes);
        return file;
    }

    // A stored play list whose one song is titled after it.
    void storedList(const QString &name)
    {
        const QByteArray title = name.toUtf8() + "1";
        writeBytes(path(name + QStringLiteral(".sdf")),
                   storedLine({title.constData(), "", "", "", "03:00", "/m/x.mp3"}));
    }

    QStringList names() const
    {
        QStringList all;
        for (int row = 0; row < library.count(); ++row)
            all << library.entry(row).name;
        return all;
    }

    QStringList titles() const
    {
        QStringList all;
        for (const SongRow &row : songs.rows())
            all << row.title();
        return all;
    }

    QStringList files() const
    {
        QStringList all;
        for (const SongRow &row : songs.rows())
            all << row.field(chFile);
        return all;
    }

    QString shownName() const
    {
        const int row = store.ShownPlayList();
        return row < 0 ? QString() : library.entry(row).name;
    }

    QString selectedName() const
    {
        const int row = store.selectedPlayList();
        return row < 0 ? QString() : library.entry(row).name;
    }

    // A click as the library view reports it: the view has selected the row
    // (or cleared the selection on empty space) before the release.
    void click(int row, Qt::MouseButton button = Qt::LeftButton)
    {
        commands.lvPlayLists_MouseDown();
        if (row >= 0)
            store.selectPlayList(row);
        else
            librarySelection.clearSelection();
        commands.lvPlayLists_MouseUp(button, row);
    }

    void ctrlClick(int row)
    {
        commands.lvPlayLists_MouseDown();
        librarySelection.select(library.index(row, 0),
                                QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        commands.lvPlayLists_MouseUp(Qt::LeftButton, row);
    }

    int rowOf(const QString &name) const { return library.findByName(name); }

    // A new shortcut play list of the media folder, shown under `displayName`.
    void newShortcut(const QString &displayName)
    {
        commands.LoadShortcutPlayList(path(QStringLiteral("media")), true, displayName);
    }

    int busyDepth = 0;
    bool songEditing = true;
    bool mergeEnabled = true;
    bool playListCommands = true;
    int menusShown = 0;
    QList<int> editedRows;
};

// --- Switching by clicking the library --------------------------------------

TEST_F(PlayListCommandsTest, ClickingAnotherPlayListShowsItAndClickingTheShownOneDoesNotReload)
{
    storedList(QStringLiteral("Pop"));
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();
    ASSERT_EQ(titles(), QStringList{"Pop1"});

    // A row the working copy does not hold would vanish on a reload.
    songs.appendRow(songRow(QStringLiteral("unsaved"), {}, {}, QStringLiteral("/m/u.mid")));
    click(rowOf(QStringLiteral("Pop")));
    EXPECT_EQ(titles(), (QStringList{"Pop1", "unsaved"}));

    click(rowOf(QStringLiteral("Rock")));
    EXPECT_EQ(titles(), QStringList{"Rock1"});
    EXPECT_EQ(shownName(), QStringLiteral("Rock"));
    EXPECT_EQ(menusShown, 0);
    EXPECT_TRUE(dialogs.messages.empty()) << "switching asks nothing";
}

TEST_F(PlayListCommandsTest, AfterNewClickingThePreviouslyShownPlayListLoadsItAgain)
{
    storedList(QStringLiteral("Pop"));
    store.LoadPlayLists();

    commands.mnuPLNew_Click();
    EXPECT_EQ(names(), (QStringList{"Pop", "Untitled"}));
    EXPECT_EQ(shownName(), QStringLiteral("Untitled"));
    EXPECT_TRUE(titles().isEmpty());

    click(rowOf(QStringLiteral("Pop")));
    EXPECT_EQ(titles(), QStringList{"Pop1"});
    EXPECT_EQ(shownName(), QStringLiteral("Pop"));
}

TEST_F(PlayListCommandsTest, APressMovedOntoAnotherEntryShowsWhatItSelected)
{
    storedList(QStringLiteral("Pop"));
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();

    // A moved press that leaves the shown entry selected reloads nothing.
    songs.appendRow(songRow(QStringLiteral("Unsaved"), {}, {}, QStringLiteral("/m/u.mid")));
    commands.lvPlayLists_MouseDown();
    commands.lvPlayLists_MouseMove();
    commands.lvPlayLists_MouseUp(Qt::LeftButton, rowOf(QStringLiteral("Rock")));
    EXPECT_EQ(titles(), (QStringList{"Pop1", "Unsaved"}));

    // One that selected another entry shows it: the commands write to it.
    commands.lvPlayLists_MouseDown();
    commands.lvPlayLists_MouseMove();
    EXPECT_TRUE(commands.PlayListMouseMoved());
    store.selectPlayList(rowOf(QStringLiteral("Rock")));
    commands.lvPlayLists_MouseUp(Qt::LeftButton, rowOf(QStringLiteral("Rock")));
    EXPECT_EQ(titles(), QStringList{"Rock1"});
    EXPECT_EQ(shownName(), QStringLiteral("Rock"));
    // The list left behind was written first.
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.tmp"))),
              storedLine({"Pop1", "", "", "", "03:00", "/m/x.mp3"}) +
                  storedLine({"Unsaved", "", "", "", "", "/m/u.mid"}));

    // The next press clears the movement: a plain click switches again.
    click(rowOf(QStringLiteral("Pop")));
    EXPECT_FALSE(commands.PlayListMouseMoved());
    EXPECT_EQ(titles(), (QStringList{"Pop1", "Unsaved"}));
}

TEST_F(PlayListCommandsTest, RightClickShowsTheMenuOverAnEntryButNotOverEmptySpace)
{
    storedList(QStringLiteral("Pop"));
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();

    click(-1, Qt::RightButton);
    EXPECT_EQ(menusShown, 0);
    EXPECT_EQ(titles(), QStringList{"Pop1"});

    click(rowOf(QStringLiteral("Rock")), Qt::RightButton);
    EXPECT_EQ(menusShown, 1);
    EXPECT_EQ(selectedName(), QStringLiteral("Rock"));
    EXPECT_EQ(titles(), QStringList{"Rock1"});
}

TEST_F(PlayListCommandsTest, TwoSelectedDisableTheCommandsUntilOneIsClickedAgain)
{
    storedList(QStringLiteral("Pop"));
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();

    ctrlClick(rowOf(QStringLiteral("Rock")));
    EXPECT_FALSE(playListCommands);
    EXPECT_FALSE(mergeEnabled);
    EXPECT_EQ(titles(), QStringList{"Pop1"}) << "nothing is loaded";

    commands.lvPlayLists_MouseDown();
    commands.lvPlayLists_MouseUp(Qt::RightButton, rowOf(QStringLiteral("Rock")));
    EXPECT_EQ(menusShown, 1);
    EXPECT_FALSE(playListCommands);

    click(rowOf(QStringLiteral("Rock")));
    EXPECT_TRUE(playListCommands);
    EXPECT_TRUE(mergeEnabled);
    EXPECT_EQ(titles(), QStringList{"Rock1"});
}

TEST_F(PlayListCommandsTest, CtrlClickThatDeselectsShowsThePlayListLeftSelected)
{
    storedList(QStringLiteral("Pop"));
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();
    ctrlClick(rowOf(QStringLiteral("Rock")));

    // Pop is shown; taking it out of the selection leaves Rock selected alone.
    ctrlClick(rowOf(QStringLiteral("Pop")));
    EXPECT_EQ(selectedName(), QStringLiteral("Rock"));
    EXPECT_EQ(shownName(), QStringLiteral("Rock"));
    EXPECT_EQ(titles(), QStringList{"Rock1"});
    refresh();
    click(rowOf(QStringLiteral("Pop")));
    EXPECT_EQ(titles(), QStringList{"Pop1"}) << "Pop's songs were not overwritten";
}

// --- Rename -----------------------------------------------------------------

TEST_F(PlayListCommandsTest, RenameMovesTheStoredFileAndTheWorkingCopy)
{
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();
    editor.Add2PlayList(media(QStringLiteral("new.mid")));
    store.SetModifyedPLFlag();
    const QByteArray stored = readBytes(path(QStringLiteral("Rock.sdf")));
    const QByteArray working = readBytes(path(QStringLiteral("Rock.tmp")));

    commands.mnuPLRename_Click();
    EXPECT_EQ(editedRows, QList<int>{0});
    EXPECT_TRUE(commands.lvPlayLists_AfterLabelEdit(0, QStringLiteral("Pop")));

    EXPECT_EQ(names(), QStringList{"Pop"});
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.sdf"))), stored);
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.tmp"))), working);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("Rock.*")}), QStringList{});
}

TEST_F(PlayListCommandsTest, RenameOfAPlayListNeverLoadedGivesNoWorkingCopy)
{
    storedList(QStringLiteral("Alpha"));
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();
    ASSERT_FALSE(exists(QStringLiteral("Rock.tmp")));

    EXPECT_TRUE(
        commands.lvPlayLists_AfterLabelEdit(rowOf(QStringLiteral("Rock")), QStringLiteral("Pop")));
    EXPECT_TRUE(exists(QStringLiteral("Pop.sdf")));
    EXPECT_FALSE(exists(QStringLiteral("Pop.tmp")));
    EXPECT_FALSE(exists(QStringLiteral("Rock.sdf")));
}

TEST_F(PlayListCommandsTest, RenameToAForbiddenCharacterIsRefusedWithTheMessage)
{
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();
    const QString spaces(26, QLatin1Char(' '));
    const QString expected =
        QStringLiteral("A Play List name cannot contain any of the following characters:\n") +
        spaces + QStringLiteral("\\ / : * ? \" < > |");

    for (const QChar c : QStringLiteral("\\/:*?\"<>|")) {
        dialogs.messages.clear();
        EXPECT_FALSE(
            commands.lvPlayLists_AfterLabelEdit(0, QStringLiteral("Po") + c + QLatin1Char('p')))
            << QString(c).toStdString();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("VORN"));
        EXPECT_EQ(dialogs.messages[0].text, expected);
        EXPECT_EQ(dialogs.messages[0].buttons, DialogButtons::Ok);
        EXPECT_EQ(dialogs.messages[0].icon, DialogIcon::None);
    }
    EXPECT_EQ(names(), QStringList{"Rock"});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"Rock.sdf", "Rock.tmp"}));
}

TEST_F(PlayListCommandsTest, RenameToItsOwnOrAnEmptyNameChangesNothing)
{
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();
    EXPECT_FALSE(commands.lvPlayLists_AfterLabelEdit(0, QStringLiteral("Rock")));
    EXPECT_FALSE(commands.lvPlayLists_AfterLabelEdit(0, QString()));
    EXPECT_FALSE(commands.lvPlayLists_AfterLabelEdit(5, QStringLiteral("Pop")));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(names(), QStringList{"Rock"});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"Rock.sdf", "Rock.tmp"}));
}

TEST_F(PlayListCommandsTest, RenameOntoAnotherPlayListAsksAndOnlyYesReplacesIt)
{
    storedList(QStringLiteral("Pop"));
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();
    click(rowOf(QStringLiteral("Rock")));
    const QByteArray pop = readBytes(path(QStringLiteral("Pop.sdf")));
    const QByteArray rock = readBytes(path(QStringLiteral("Rock.sdf")));

    for (const DialogAnswer refusal : {DialogAnswer::No, DialogAnswer::Cancel}) {
        dialogs.answers = {refusal};
        EXPECT_FALSE(commands.lvPlayLists_AfterLabelEdit(rowOf(QStringLiteral("Rock")),
                                                         QStringLiteral("Pop")));
        EXPECT_EQ(names(), (QStringList{"Pop", "Rock"}));
        EXPECT_EQ(readBytes(path(QStringLiteral("Pop.sdf"))), pop);
        EXPECT_EQ(readBytes(path(QStringLiteral("Pop.tmp"))), pop);
    }
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("A Play List with the same name already exists, are you sure you "
                             "want to overwrite it?"));
    EXPECT_EQ(dialogs.messages[0].buttons, DialogButtons::YesNoCancel);

    dialogs.answers = {DialogAnswer::Yes};
    EXPECT_TRUE(
        commands.lvPlayLists_AfterLabelEdit(rowOf(QStringLiteral("Rock")), QStringLiteral("Pop")));
    EXPECT_EQ(names(), QStringList{"Pop"});
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.sdf"))), rock);
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.tmp"))), rock);
    EXPECT_FALSE(exists(QStringLiteral("Rock.sdf")));
    EXPECT_EQ(shownName(), QStringLiteral("Pop"));
    EXPECT_EQ(titles(), QStringList{"Rock1"});
}

// --- Delete -----------------------------------------------------------------

TEST_F(PlayListCommandsTest, DeletingTheThirdOfFiveShowsTheSecondAndKeepsItsSongs)
{
    for (const char *name : {"A", "B", "C", "D", "E"})
        storedList(QLatin1String(name));
    store.LoadPlayLists();
    click(2);

    commands.mnuPLDelete_Click();
    EXPECT_TRUE(dialogs.messages.empty()) << "no confirmation";
    EXPECT_EQ(names(), (QStringList{"A", "B", "D", "E"}));
    EXPECT_FALSE(exists(QStringLiteral("C.sdf")));
    EXPECT_EQ(selectedName(), QStringLiteral("B"));
    EXPECT_EQ(shownName(), QStringLiteral("B"));
    EXPECT_EQ(titles(), QStringList{"B1"});

    click(rowOf(QStringLiteral("A")));
    click(rowOf(QStringLiteral("B")));
    EXPECT_EQ(titles(), QStringList{"B1"});
}

TEST_F(PlayListCommandsTest, DeletingTheFirstShowsTheNewFirst)
{
    for (const char *name : {"A", "B", "C"})
        storedList(QLatin1String(name));
    store.LoadPlayLists();

    commands.mnuPLDelete_Click();
    EXPECT_EQ(names(), (QStringList{"B", "C"}));
    EXPECT_EQ(selectedName(), QStringLiteral("B"));
    EXPECT_EQ(titles(), QStringList{"B1"});
}

TEST_F(PlayListCommandsTest, DeletingTwoSelectedRemovesBothAndTheLastLeavesAnEmptySongList)
{
    for (const char *name : {"A", "B", "C"})
        storedList(QLatin1String(name));
    store.LoadPlayLists();
    click(rowOf(QStringLiteral("B")));
    ctrlClick(rowOf(QStringLiteral("C")));

    commands.mnuPLDelete_Click();
    EXPECT_EQ(names(), QStringList{"A"});
    EXPECT_FALSE(exists(QStringLiteral("B.sdf")));
    EXPECT_FALSE(exists(QStringLiteral("C.sdf")));
    EXPECT_EQ(titles(), QStringList{"A1"});
    EXPECT_TRUE(mergeEnabled);

    commands.mnuPLDelete_Click();
    EXPECT_TRUE(names().isEmpty());
    EXPECT_TRUE(titles().isEmpty());
    EXPECT_EQ(store.ShownPlayList(), -1);
}

TEST_F(PlayListCommandsTest, APlayListSavedUnderADeletedNameDoesNotGetItsSongs)
{
    storedList(QStringLiteral("Rock"));
    store.LoadPlayLists();
    commands.mnuPLDelete_Click();

    commands.mnuPLNew_Click();
    editor.Add2PlayList(media(QStringLiteral("fresh.mid")));
    store.SetModifyedPLFlag();
    dialogs.promptAnswers = {QStringLiteral("Rock")};
    commands.mnuPLSave_Click();
    commands.mnuPLNew_Click();
    click(rowOf(QStringLiteral("Rock")));
    EXPECT_EQ(titles(), QStringList{"fresh"});
}

// --- Save and Save As ---------------------------------------------------------

TEST_F(PlayListCommandsTest, SaveWritesTheStoredFileAndClearsTheMark)
{
    storedList(QStringLiteral("Pop"));
    store.LoadPlayLists();
    editor.Add2PlayList(media(QStringLiteral("x.mid")));
    store.SetModifyedPLFlag();

    commands.mnuPLSave_Click();
    EXPECT_TRUE(library.entry(0).tag.isEmpty());
    EXPECT_EQ(PlayListFile::parse(readBytes(path(QStringLiteral("Pop.sdf")))).songs.size(), 2u);
}

TEST_F(PlayListCommandsTest, SaveAsWithoutAnUntitledEntryAsksForTheName)
{
    storedList(QStringLiteral("Pop"));
    store.LoadPlayLists();
    editor.Add2PlayList(media(QStringLiteral("x.mid")));
    store.SetModifyedPLFlag();

    dialogs.promptAnswers = {QStringLiteral("Copy")};
    commands.mnuPLSaveAs_Click();
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].title, QStringLiteral("Save As"));
    EXPECT_EQ(names(), (QStringList{"Pop", "Copy"}));
    EXPECT_EQ(readBytes(path(QStringLiteral("Copy.sdf"))), readBytes(path("Pop.tmp")));
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*")) << "the copied list keeps its mark";
    EXPECT_TRUE(library.entry(1).tag.isEmpty());
    EXPECT_EQ(selectedName(), QStringLiteral("Copy"));
    EXPECT_EQ(shownName(), QStringLiteral("Copy"));
    EXPECT_EQ(titles(), (QStringList{"Pop1", "x"}));
}

TEST_F(PlayListCommandsTest, SaveAsWithAnUntitledEntrySavesAsUntitled1WithoutAsking)
{
    storedList(QStringLiteral("Pop"));
    store.LoadPlayLists();
    commands.mnuPLNew_Click();
    click(rowOf(QStringLiteral("Pop")));

    commands.SavePlayListAs();
    EXPECT_TRUE(dialogs.prompts.empty());
    EXPECT_EQ(names(), (QStringList{"Pop", "Untitled", "Untitled 1"}));
    EXPECT_EQ(readBytes(path(QStringLiteral("Untitled 1.sdf"))), readBytes(path("Pop.sdf")));
}

// --- Shortcut play lists ------------------------------------------------------

TEST_F(PlayListCommandsTest, AShortcutListsTheFolderTypeByTypeWithoutItsSubfolders)
{
    const QString folder = path(QStringLiteral("media"));
    for (const char *name : {"b.mp3", "a.wav", "c.mid", "z.med", "notes.txt"})
        media(QLatin1String(name));
    QDir(folder).mkdir(QStringLiteral("sub"));
    media(QStringLiteral("sub/d.mid"));

    dialogs.folderAnswers = {folder};
    commands.mnuPLShortcut_Click();

    EXPECT_EQ(dialogs.folderPrompts,
              std::vector<QString>{QStringLiteral("Select the directory to create a shortcut")});
    EXPECT_EQ(names(), QStringList{"Shortcut to media"});
    EXPECT_EQ(library.entry(0).shortcut, folder);
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(titles(), (QStringList{"c", "b", "a", "z"}));
    EXPECT_EQ(files().first(), QDir::toNativeSeparators(folder + QStringLiteral("/c.mid")));
    for (const SongRow &row : songs.rows())
        EXPECT_TRUE(row.tag().isEmpty());
    EXPECT_FALSE(songEditing);
    EXPECT_FALSE(mergeEnabled);
    EXPECT_EQ(busyDepth, 0);
    EXPECT_EQ(PlayListFile::parse(readBytes(path("Shortcut to media.tmp"))).shortcutFolder, folder);

    commands.mnuPLSave_Click();
    EXPECT_EQ(readBytes(path(QStringLiteral("Shortcut to media.sdf"))),
              PlayListFile::serializeShortcut(folder));
}

TEST_F(PlayListCommandsTest, AShortcutIsListedAfreshWhenShownAgain)
{
    storedList(QStringLiteral("Pop"));
    const QString folder = path(QStringLiteral("media"));
    writeBytes(path(QStringLiteral("Folder.sdf")), PlayListFile::serializeShortcut(folder));
    media(QStringLiteral("one.mid"));
    store.LoadPlayLists();
    // The first entry is the shortcut: the store's load hands over to it.
    EXPECT_EQ(titles(), QStringList{"one"});
    EXPECT_FALSE(songEditing);

    click(rowOf(QStringLiteral("Pop")));
    EXPECT_TRUE(songEditing);
    EXPECT_TRUE(mergeEnabled);
    media(QStringLiteral("two.mid"));
    media(QStringLiteral("Three.MP3"));
    // The folder is read beside the window's event loop; meanwhile the rows
    // shown stay and nothing may change the play lists.
    QStringList meanwhile;
    QString blocked;
    QTimer::singleShot(0, [&] {
        meanwhile = titles();
        blocked = store.editBlockReason();
    });
    click(rowOf(QStringLiteral("Folder")));
    EXPECT_EQ(meanwhile, QStringList{"Pop1"});
    EXPECT_FALSE(blocked.isEmpty());
    EXPECT_TRUE(store.editBlockReason().isEmpty());
    EXPECT_EQ(titles(), (QStringList{"one", "two", "Three"}));
    EXPECT_FALSE(songEditing);

    commands.mnuPLNew_Click();
    EXPECT_TRUE(songEditing) << "a new play list takes songs";
}

TEST_F(PlayListCommandsTest, AShortcutNameKeepsToTheNameRule)
{
    QDir(dir.path()).mkpath(QStringLiteral("media/What?"));
    newShortcut(QStringLiteral("Local Disk (C:)"));
    EXPECT_EQ(names().last(), QStringLiteral("Shortcut to Local Disk (C)"));
    newShortcut(QStringLiteral("a:b:c"));
    EXPECT_EQ(names().last(), QStringLiteral("Shortcut to ab_c"));
    // A second shortcut to the same folder gets a name of its own.
    newShortcut(QStringLiteral("a:b:c"));
    EXPECT_EQ(names().last(), QStringLiteral("Shortcut to ab_c 1"));

    dialogs.folderAnswers = {path(QStringLiteral("media/What?"))};
    commands.mnuPLShortcut_Click();
    EXPECT_EQ(names().last(), QStringLiteral("Shortcut to What_"));
}

TEST_F(PlayListCommandsTest, CancellingTheFolderBrowserCreatesNothing)
{
    dialogs.folderAnswers = {QString()};
    commands.mnuPLShortcut_Click();
    EXPECT_TRUE(names().isEmpty());
}

TEST(FolderDisplayName, IsTheLastPartOrTheTopFolder)
{
    EXPECT_EQ(folderDisplayName(QStringLiteral("/srv/music/")), QStringLiteral("music"));
    EXPECT_EQ(folderDisplayName(QStringLiteral("/srv/music")), QStringLiteral("music"));
    EXPECT_EQ(folderDisplayName(QStringLiteral("/")), QStringLiteral("/"));
}

// --- Import -------------------------------------------------------------------

TEST_F(PlayListCommandsTest, OpeningThePartyListResolvesBothPathsAndTitlesThem)
{
    QDir(dir.path()).mkdir(QStringLiteral("other"));
    const QString a = path(QStringLiteral("lists/a.mp3"));
    const QString b = path(QStringLiteral("other/b.wav"));
    writeBytes(a, QByteArray(1000000, 'x'));
    writeBytes(b, QByteArray(10, 'x'));
    const QByteArray party =
        "[playlist]\r\nFile1=a.mp3\r\nTitle1=A\r\nLength1=200\r\nFile2=" + b.toUtf8() +
        "\r\nNumberOfEntries=2\r\n";

    for (const char *name : {"Party.pls", "PARTY.PLS"}) {
        dialogs.fileAnswers = {{listFile(QLatin1String(name), party)}};
        commands.OpenPlayListFiles(false);
        EXPECT_EQ(titles(), (QStringList{"a", "b"})) << name;
        EXPECT_EQ(files(), (QStringList{a, b}));
        EXPECT_EQ(songs.row(0).field(chLen), QStringLiteral("01:03"));
    }
    EXPECT_EQ(names(), (QStringList{"Party", "PARTY"}));
    EXPECT_EQ(dialogs.fileDialogs[0].title, QStringLiteral("Open Play List Files"));
    EXPECT_EQ(dialogs.fileDialogs[0].text,
              QStringLiteral("Supported Play List Files|*.pls;*.m3u;*.m3u8|All Files (*.*)|*.*"));
    EXPECT_EQ(selectedName(), QStringLiteral("PARTY"));
    EXPECT_EQ(shownName(), QStringLiteral("PARTY"));
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(PlayListFile::parse(readBytes(path("Party.tmp"))).songs.size(), 2u);
}

// An import works beside the window's event loop: what was posted before it
// is handled while it works. A cancel then (what closing the window does)
// leaves the library and the folder as they were; let through, the rows that
// land are exactly those that adding the same files one by one makes.
TEST_F(PlayListCommandsTest, AnImportLetsTheWindowAnswerAndACancelChangesNothing)
{
    storedList(QStringLiteral("Pop"));
    store.LoadPlayLists();
    QByteArray m3u = "#EXTM3U\n";
    QStringList paths;
    for (int i = 0; i < 5000; ++i) {
        const QString name = QStringLiteral("s%1.%2").arg(i).arg(i % 2 ? "mid" : "mp3");
        if (i % 100 == 0)
            writeBytes(path(QStringLiteral("lists/") + name), QByteArray(100000 + i, 'x'));
        paths << path(QStringLiteral("lists/") + name);
        m3u += "#EXTINF:10,x\n" + name.toUtf8() + '\n';
    }
    const QString file = listFile(QStringLiteral("big.m3u"), m3u);
    store.finishWrites();
    const auto folderBytes = [this] {
        QStringList all;
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            all << name + QLatin1Char('=') + QString::fromLatin1(readBytes(path(name)).toHex());
        return all;
    };
    const QStringList before = folderBytes();

    bool answered = false;
    std::optional<int> second = 0;
    QTimer::singleShot(0, [&] {
        answered = commands.importing();
        // A second list while the first is on its way is refused.
        second = commands.ImportPlayListFile(file, true);
        commands.cancelImport();
    });
    EXPECT_EQ(commands.ImportPlayListFile(file, false), std::nullopt);
    EXPECT_TRUE(answered);
    EXPECT_EQ(second, std::nullopt);
    EXPECT_FALSE(commands.importing());
    store.finishWrites();
    EXPECT_EQ(names(), QStringList{"Pop"});
    EXPECT_EQ(folderBytes(), before);

    answered = false;
    QTimer::singleShot(0, [&] { answered = commands.importing(); });
    ASSERT_EQ(commands.ImportPlayListFile(file, false), 5000);
    EXPECT_TRUE(answered);
    EXPECT_EQ(names(), (QStringList{"Pop", "big"}));
    const std::vector<SongRow> imported = songs.rows();
    commands.NewPlayList(QStringLiteral("Added"));
    editor.addFiles(paths);
    ASSERT_EQ(songs.rows().size(), imported.size());
    for (size_t i = 0; i < imported.size(); ++i)
        ASSERT_EQ(songs.rows()[i].line(), imported[i].line()) << i;
    EXPECT_EQ(imported[100].field(chLen), QStringLiteral("00:06"));
}

TEST_F(PlayListCommandsTest, AnExtendedM3uGivesOneSongPerPath)
{
    const QString file =
        listFile(QStringLiteral("mix.m3u"), "#EXTM3U\n#EXTINF:200,Artist - One\none.mid\n"
                                            "#EXTINF:100,Artist - Two\nsub/two.mid\n");
    ASSERT_EQ(commands.ImportPlayListFile(file, false), 2);
    EXPECT_EQ(names(), QStringList{"mix"});
    EXPECT_EQ(files(), (QStringList{path(QStringLiteral("lists/one.mid")),
                                    path(QStringLiteral("lists/sub/two.mid"))}));
}

TEST_F(PlayListCommandsTest, AnImportInsertsItsSongsAsOneBlockAfterTheRowsThere)
{
    const QString file = listFile(QStringLiteral("mix.m3u"), "one.mp3\ntwo.wav\nthree.mid\n");
    // Merged into a shown list that already has a row.
    commands.NewPlayList(QStringLiteral("Shown"));
    editor.Add2PlayList(QStringLiteral("/m/first.mp3"));
    QSignalSpy inserted(&songs, &QAbstractItemModel::rowsInserted);
    ASSERT_EQ(commands.ImportPlayListFile(file, true), 3);
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 1);
    EXPECT_EQ(inserted[0][2].toInt(), 3);
    EXPECT_EQ(titles(), (QStringList{"first", "one", "two", "three"}));
    EXPECT_EQ(files().last(), path(QStringLiteral("lists/three.mid")));
    EXPECT_EQ(PlayListFile::parse(readBytes(path("Shown.tmp"))).songs.size(), 4u);
}

TEST_F(PlayListCommandsTest, TwoFilesOpenedAtOnceKeepTheirSongsAcrossSwitching)
{
    const QString one = listFile(QStringLiteral("one.m3u"), "x.mid\n");
    const QString two = listFile(QStringLiteral("two.m3u"), "y.mid\r\nz.mid\r\n");
    dialogs.fileAnswers = {{one, two}};
    commands.OpenPlayListFiles(false);
    EXPECT_EQ(names(), (QStringList{"one", "two"}));
    EXPECT_EQ(shownName(), QStringLiteral("two"));
    EXPECT_EQ(titles(), (QStringList{"y", "z"}));

    for (int round = 0; round < 2; ++round) {
        click(rowOf(QStringLiteral("one")));
        EXPECT_EQ(titles(), QStringList{"x"});
        click(rowOf(QStringLiteral("two")));
        EXPECT_EQ(titles(), (QStringList{"y", "z"}));
    }
}

TEST_F(PlayListCommandsTest, MergeAppendsToTheShownPlayListAndMarksIt)
{
    storedList(QStringLiteral("Pop"));
    store.LoadPlayLists();
    dialogs.fileAnswers = {{listFile(QStringLiteral("more.m3u"), "x.mid\ny.mid\n")}};
    commands.OpenPlayListFiles(true);
    EXPECT_EQ(names(), QStringList{"Pop"});
    EXPECT_EQ(titles(), (QStringList{"Pop1", "x", "y"}));
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(PlayListFile::parse(readBytes(path("Pop.tmp"))).songs.size(), 3u);

    // An empty list merges nothing and leaves the mark alone.
    library.setTag(0, QString());
    EXPECT_EQ(commands.ImportPlayListFile(listFile(QStringLiteral("empty.m3u"), ""), true), 0);
    EXPECT_TRUE(library.entry(0).tag.isEmpty());
}

TEST_F(PlayListCommandsTest, MergeWithNothingSelectedStartsAnUntitledPlayList)
{
    EXPECT_EQ(commands.ImportPlayListFile(listFile(QStringLiteral("m.m3u"), "x.mid\n"), true), 1);
    EXPECT_EQ(names(), QStringList{"Untitled"});
    EXPECT_EQ(titles(), QStringList{"x"});
}

TEST_F(PlayListCommandsTest, MergeIntoAShortcutIsRefused)
{
    media(QStringLiteral("one.mid"));
    newShortcut(QStringLiteral("media"));
    EXPECT_EQ(commands.ImportPlayListFile(listFile(QStringLiteral("m.m3u"), "x.mid\n"), true), 0);
    EXPECT_EQ(titles(), QStringList{"one"});
}

TEST_F(PlayListCommandsTest, DropsOntoTheLibraryMergeWithCtrlAndCreateWithout)
{
    storedList(QStringLiteral("Pop"));
    store.LoadPlayLists();
    const QString list = listFile(QStringLiteral("a.m3u"), "x.mid\n");

    commands.lvPlayLists_OLEDragDrop({list, media(QStringLiteral("song.mp3"))}, true);
    EXPECT_EQ(names(), QStringList{"Pop"});
    EXPECT_EQ(titles(), (QStringList{"Pop1", "x"}));

    commands.lvPlayLists_OLEDragDrop({list, path(QStringLiteral("lists"))}, false);
    EXPECT_EQ(names(), (QStringList{"Pop", "a"}));
    EXPECT_EQ(titles(), QStringList{"x"});
    click(rowOf(QStringLiteral("Pop")));
    EXPECT_EQ(titles(), (QStringList{"Pop1", "x"}));
}

TEST_F(PlayListCommandsTest, AListDroppedOntoTheSongListBecomesAPlayList)
{
    storedList(QStringLiteral("Pop"));
    store.LoadPlayLists();
    editor.dropFiles({listFile(QStringLiteral("a.m3u"), "x.mid\n"),
                      listFile(QStringLiteral("b.pls"), "File1=y.mid\n")},
                     -1, false);
    EXPECT_EQ(names(), (QStringList{"Pop", "a", "b"}));
    click(rowOf(QStringLiteral("a")));
    EXPECT_EQ(titles(), QStringList{"x"});
}

TEST_F(PlayListCommandsTest, AnImportedNameStaysInsideTheProgramFolderAndUnique)
{
    storedList(QStringLiteral("Pop"));
    store.LoadPlayLists();
    const QByteArray pop = readBytes(path(QStringLiteral("Pop.sdf")));

    commands.ImportPlayListFile(listFile(QStringLiteral("Pop.m3u"), "x.mid\n"), false);
    commands.ImportPlayListFile(listFile(QStringLiteral("Best: of? <90s>.m3u"), "y.mid\n"), false);
    commands.ImportPlayListFile(listFile(QStringLiteral("list.m3u8"), "z.mid\n"), false);
    EXPECT_EQ(names(), (QStringList{"Pop", "Pop 1", "Best_ of_ _90s_", "list"}));
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.sdf"))), pop);
    EXPECT_TRUE(exists(QStringLiteral("Best_ of_ _90s_.tmp")));
    EXPECT_EQ(safePlayListName(QStringLiteral("a\\b/c:d*e?f\"g<h>i|j")),
              QStringLiteral("a_b_c_d_e_f_g_h_i_j"));
}

// --- Bad input ------------------------------------------------------------------

TEST_F(PlayListCommandsTest, AFileThatCannotBeReadImportsNothing)
{
    QDir(dir.path()).mkdir(QStringLiteral("lists/folder.m3u"));
    const QString fifo = path(QStringLiteral("lists/pipe.m3u"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    EXPECT_EQ(commands.ImportPlayListFile(path(QStringLiteral("lists/folder.m3u")), false),
              std::nullopt);
    EXPECT_EQ(commands.ImportPlayListFile(fifo, false), std::nullopt) << "no hang";
    EXPECT_EQ(commands.ImportPlayListFile(path(QStringLiteral("lists/gone.pls")), false),
              std::nullopt);
    EXPECT_TRUE(names().isEmpty());

    // Opening stops at the file that fails; what came before stays.
    dialogs.fileAnswers = {{listFile(QStringLiteral("good.m3u"), "x.mid\n"),
                            path(QStringLiteral("lists/gone.m3u")),
                            listFile(QStringLiteral("later.m3u"), "y.mid\n")}};
    commands.OpenPlayListFiles(false);
    EXPECT_EQ(names(), QStringList{"good"});
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(PlayListFile::parse(readBytes(path("good.tmp"))).songs.size(), 1u);
}

TEST_F(PlayListCommandsTest, JunkFilesImportWithoutHarm)
{
    QByteArray random(64 * 1024, '\0');
    QRandomGenerator generator(20240611);
    for (char &byte : random)
        byte = static_cast<char>(generator.bounded(256));
    const QByteArray withNul = QByteArray("a.mid\n", 6) + QByteArray("b\0c.mid\n", 8) + "d.mid";
    const QByteArray invalidUtf8 = "caf\xE9.mid\n\xFF\xFE\xFD.mid\n";

    const auto randomSongs = commands.ImportPlayListFile(listFile("random.m3u", random), false);
    ASSERT_TRUE(randomSongs.has_value());
    EXPECT_EQ(songs.rowCount(), *randomSongs);

    EXPECT_EQ(commands.ImportPlayListFile(listFile("nul.m3u", withNul), false), 2);
    EXPECT_EQ(titles(), (QStringList{"a", "d"}));

    EXPECT_EQ(commands.ImportPlayListFile(listFile("latin.m3u", invalidUtf8), false), 2);
    EXPECT_EQ(titles().first(), QStringLiteral("café"));

    // Every list written keeps its songs through the play list file.
    click(rowOf(QStringLiteral("random")));
    EXPECT_EQ(songs.rowCount(), *randomSongs);
    EXPECT_EQ(names(), (QStringList{"random", "nul", "latin"}));
}

TEST_F(PlayListCommandsTest, AHugeOneLineFileGivesAnEmptyPlayList)
{
    QByteArray line(50 * 1024 * 1024, 'a');
    const QString file = listFile(QStringLiteral("huge.m3u"), line);
    line = QByteArray();
    EXPECT_EQ(commands.ImportPlayListFile(file, false), 0);
    EXPECT_EQ(names(), QStringList{"huge"});
    EXPECT_EQ(songs.rowCount(), 0);
}

} // namespace
