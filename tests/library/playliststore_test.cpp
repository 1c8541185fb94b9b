#include "core/sidework.h"
#include "library/playlistdisk.h"
#include "library/playlistfile.h"
#include "library/playlistlibrarymodel.h"
#include "library/playlistname.h"
#include "library/playliststore.h"
#include "library/songlistmodel.h"
#include "support/playlistfiles.h"
#include "support/scripteddialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QItemSelectionModel>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <csignal>
#include <functional>

#include <gtest/gtest.h>

namespace {

class PlayListStoreTest : public ::testing::Test
{
protected:
    PlayListStoreTest()
        : selection(&library)
        , store(dir.path(), library, selection, songs, dialogs)
    {
        PlayListStore::Hooks hooks;
        hooks.updateStatusBar = [this] {
            ++statusRefreshes;
            store.SavePlayList(true);
        };
        store.setHooks(hooks);
    }

    QString path(const QString &file) const { return dir.filePath(file); }
    bool exists(const QString &file) const { return QFile::exists(path(file)); }

    QStringList names() const
    {
        QStringList all;
        for (int row = 0; row < library.count(); ++row)
            all << library.entry(row).name;
        return all;
    }

    void addSong(const QString &title)
    {
        songs.appendRow(songRow(title, {}, QStringLiteral("03:00"), QStringLiteral("/m/") + title));
        store.SetModifyedPLFlag();
    }

    QTemporaryDir dir;
    PlayListLibraryModel library;
    QItemSelectionModel selection;
    SongListModel songs;
    ScriptedDialogs dialogs;
    PlayListStore store;
    int statusRefreshes = 0;

    const QByteArray rockBytes = storedLine({"R1", "Band", "", "", "03:00", "/m/r1.mp3"}) +
                                 storedLine({"R2", "", "", "", "04:00", "/m/r2.mp3"});
    const QByteArray popBytes = storedLine({"P1", "", "", "", "02:00", "/m/p1.mp3"});
};

TEST_F(PlayListStoreTest, LoadsTheLibraryAndTheFirstPlayListThroughItsWorkingCopy)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), rockBytes);
    writeBytes(path(QStringLiteral("Pop.sdf")), popBytes);
    writeBytes(path(QStringLiteral("Folder.sdf")),
               PlayListFile::serializeShortcut(QStringLiteral("/srv/a, b")));
    writeBytes(path(QStringLiteral("notes.txt")), "not a play list");

    store.LoadPlayLists();

    EXPECT_EQ(names(), (QStringList{"Folder", "Pop", "Rock"}));
    EXPECT_EQ(library.entry(0).shortcut, QStringLiteral("/srv/a, b"));
    EXPECT_TRUE(library.entry(1).shortcut.isEmpty());
    EXPECT_EQ(store.selectedPlayList(), 0);
    EXPECT_EQ(store.ShownPlayList(), 0);
    // The first entry is a shortcut: its working copy keeps the folder.
    EXPECT_EQ(readBytes(path(QStringLiteral("Folder.tmp"))),
              readBytes(path(QStringLiteral("Folder.sdf"))));

    store.selectPlayList(2);
    store.LoadPlayList(QStringLiteral("Rock"));
    ASSERT_EQ(songs.rowCount(), 2);
    EXPECT_EQ(songs.row(0).title(), QStringLiteral("R1"));
    EXPECT_EQ(songs.row(0).field(chArtist), QStringLiteral("Band"));
    EXPECT_EQ(store.ShownPlayList(), 2);
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.tmp"))), rockBytes);
}

TEST_F(PlayListStoreTest, ChangesSurviveSwitchingAndTheClosingQuestionNamesThePlayList)
{
    writeBytes(path(QStringLiteral("Pop.sdf")), popBytes);
    writeBytes(path(QStringLiteral("Rock.sdf")), rockBytes);
    store.LoadPlayLists();
    addSong(QStringLiteral("P2"));

    store.selectPlayList(1);
    store.LoadPlayList(QStringLiteral("Rock"));
    store.selectPlayList(0);
    store.LoadPlayList(QStringLiteral("Pop"));
    ASSERT_EQ(songs.rowCount(), 2);
    EXPECT_EQ(songs.row(1).title(), QStringLiteral("P2"));
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.sdf"))), popBytes);

    dialogs.answers = {DialogAnswer::No};
    EXPECT_FALSE(store.QuerySaveChanges());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("VORN"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Do you want to save changes for the 'Pop"));
    EXPECT_EQ(dialogs.messages[0].buttons, DialogButtons::YesNoCancel);
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.sdf"))), popBytes);

    store.DeleteWorkingCopies();
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.tmp")}).isEmpty());
    EXPECT_TRUE(exists(QStringLiteral("Pop.sdf")));
}

TEST_F(PlayListStoreTest, ClosingQuestionCancelSavesNothingAndYesSavesEachModifiedList)
{
    writeBytes(path(QStringLiteral("Pop.sdf")), popBytes);
    writeBytes(path(QStringLiteral("Rock.sdf")), rockBytes);
    store.LoadPlayLists();
    addSong(QStringLiteral("P2"));
    store.selectPlayList(1);
    store.LoadPlayList(QStringLiteral("Rock"));
    addSong(QStringLiteral("R3"));

    dialogs.answers = {DialogAnswer::Cancel};
    EXPECT_TRUE(store.QuerySaveChanges());
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.sdf"))), popBytes);
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), rockBytes);
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));

    dialogs.answers = {DialogAnswer::Yes, DialogAnswer::Yes};
    EXPECT_FALSE(store.QuerySaveChanges());
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.sdf"))),
              popBytes + storedLine({"P2", "", "", "", "03:00", "/m/P2"}));
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))),
              rockBytes + storedLine({"R3", "", "", "", "03:00", "/m/R3"}));
    EXPECT_TRUE(library.entry(0).tag.isEmpty());
    EXPECT_TRUE(library.entry(1).tag.isEmpty());
}

TEST_F(PlayListStoreTest, NewPlayListsCountTheUntitledOnes)
{
    store.NewPlayList(QString());
    store.NewPlayList(QString());
    store.NewPlayList(QString());
    store.NewPlayList(QStringLiteral("Imported"));
    EXPECT_EQ(names(), (QStringList{"Untitled", "Untitled 1", "Untitled 2", "Imported"}));
    EXPECT_EQ(library.entry(3).tag, QStringLiteral("*"));
    EXPECT_EQ(store.selectedPlayList(), 3);
    EXPECT_EQ(store.ShownPlayList(), 3);
    EXPECT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(songs.rowCount(), 0);
    // Only the working copy is written, empty.
    EXPECT_TRUE(exists(QStringLiteral("Imported.tmp")));
    EXPECT_FALSE(exists(QStringLiteral("Imported.sdf")));

    // With "Untitled" gone the count would repeat "Untitled 2": the next free
    // number is taken instead, so no two entries share a working copy.
    library.removeEntry(0);
    store.NewPlayList(QString());
    EXPECT_EQ(names(), (QStringList{"Untitled 1", "Untitled 2", "Imported", "Untitled 3"}));
}

TEST_F(PlayListStoreTest, SavingAnUntitledListAsksForANameAndOthersSaveDirectly)
{
    store.NewPlayList(QString());
    addSong(QStringLiteral("A"));
    dialogs.promptAnswers = {QStringLiteral("Jazz")};
    store.SavePlayList(false);
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].title, QStringLiteral("Save As"));
    EXPECT_EQ(dialogs.prompts[0].text, QStringLiteral("Select a name for the Play List|"));
    EXPECT_EQ(names(), QStringList{"Jazz"});
    EXPECT_TRUE(library.entry(0).tag.isEmpty());
    EXPECT_EQ(readBytes(path(QStringLiteral("Jazz.sdf"))),
              storedLine({"A", "", "", "", "03:00", "/m/A"}));

    library.setName(0, QStringLiteral("UNTITLED"));
    dialogs.promptAnswers = {QStringLiteral("Blues")};
    store.SavePlayList(false);
    EXPECT_EQ(names(), QStringList{"Blues"});

    library.setName(0, QStringLiteral("Untitled 2"));
    store.SavePlayList(false);
    EXPECT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_TRUE(exists(QStringLiteral("Untitled 2.sdf")));
}

TEST_F(PlayListStoreTest, CancellingTheNamePromptSavesUnderUntitled)
{
    store.NewPlayList(QString());
    addSong(QStringLiteral("A"));
    dialogs.promptAnswers = {QString()};
    store.SavePlayList(false);
    EXPECT_EQ(names(), QStringList{"Untitled"});
    EXPECT_TRUE(exists(QStringLiteral("Untitled.sdf")));
    EXPECT_TRUE(library.entry(0).tag.isEmpty());
}

TEST_F(PlayListStoreTest, TheOverwriteQuestionAsksAgainOnNoAndSavesNothingOnCancel)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), rockBytes);
    store.LoadPlayLists();
    store.NewPlayList(QString());
    addSong(QStringLiteral("A"));

    dialogs.promptAnswers = {QStringLiteral("Rock"), QStringLiteral("Rock")};
    dialogs.answers = {DialogAnswer::No, DialogAnswer::Cancel};
    store.SavePlayList(false);
    EXPECT_EQ(dialogs.prompts.size(), 2u);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("A Play List with the same name already exists, are you sure you "
                             "want to overwrite it?"));
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), rockBytes);
    EXPECT_EQ(names(), (QStringList{"Rock", "Untitled"}));
    EXPECT_EQ(library.entry(1).tag, QStringLiteral("*"));
}

TEST_F(PlayListStoreTest, OverwritingRemovesTheOlderEntryAndItsWorkingCopy)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), rockBytes);
    store.LoadPlayLists(); // writes Rock.tmp
    store.NewPlayList(QString());
    addSong(QStringLiteral("A"));

    dialogs.promptAnswers = {QStringLiteral("Rock")};
    dialogs.answers = {DialogAnswer::Yes};
    store.SavePlayList(false);

    EXPECT_EQ(names(), QStringList{"Rock"});
    EXPECT_EQ(store.selectedPlayList(), 0);
    const QByteArray saved = storedLine({"A", "", "", "", "03:00", "/m/A"});
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), saved);
    // The working copy of the name is the saved list's own, not the old one's.
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.tmp"))), saved);

    // Loading the entry now shows the songs that were saved, not the old ones.
    store.LoadPlayList(QStringLiteral("Rock"));
    ASSERT_EQ(songs.rowCount(), 1);
    EXPECT_EQ(songs.row(0).title(), QStringLiteral("A"));
}

TEST_F(PlayListStoreTest, ANameThatIsNoFileNameIsRefusedAndAskedAgain)
{
    store.NewPlayList(QString());
    addSong(QStringLiteral("A"));
    dialogs.promptAnswers = {QStringLiteral("../escape"), QStringLiteral("a\\b"),
                             QStringLiteral("Safe")};
    store.SavePlayList(false);

    EXPECT_EQ(dialogs.prompts.size(), 3u);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, invalidPlayListNameMessage());
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("A Play List name cannot contain any of the following characters:\n"
                             "                          \\ / : * ? \" < > |"));
    EXPECT_EQ(names(), QStringList{"Safe"});
    QDir parent(dir.path());
    parent.cdUp();
    EXPECT_FALSE(parent.exists(QStringLiteral("escape.sdf")));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.sdf")}), QStringList{"Safe.sdf"});
}

TEST_F(PlayListStoreTest, AFailedSaveIsReportedAndKeepsTheModifiedMark)
{
    store.NewPlayList(QStringLiteral("Rock"));
    addSong(QStringLiteral("A"));
    // A folder in the way of the stored file makes the write fail.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Rock.sdf")));
    store.SavePlayList(false);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("The Play List could not")));
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));
}

TEST_F(PlayListStoreTest, LoadingAnUnreadableOrMissingFileShowsAnEmptyList)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), rockBytes);
    store.LoadPlayLists();
    QFile::remove(path(QStringLiteral("Rock.tmp")));
    QFile::remove(path(QStringLiteral("Rock.sdf")));
    store.LoadPlayList(QStringLiteral("Rock"));
    EXPECT_EQ(songs.rowCount(), 0);
    EXPECT_EQ(store.ShownPlayList(), 0);
}

TEST_F(PlayListStoreTest, NothingIsSavedWhenNoPlayListIsSelected)
{
    songs.appendRow(songRow(QStringLiteral("A"), {}, {}, {}));
    store.SavePlayList(false);
    store.SavePlayList(true);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(dialogs.prompts.empty());
}

// Lets the process write no file beyond `bytes` while it lives; a write past
// it fails with EFBIG instead of ending the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_set = false;
};

TEST_F(PlayListStoreTest, AWriteThatFailsHalfwayLeavesTheStoredPlayListWhole)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), rockBytes);
    store.LoadPlayLists();
    for (int i = 0; i < 20; ++i)
        addSong(QStringLiteral("A song with a long enough title %1").arg(i));
    {
        // Room for a part of the new list only: the save fails while writing.
        FileSizeLimit limit(static_cast<rlim_t>(rockBytes.size() / 2));
        ASSERT_TRUE(limit.isSet());
        store.SavePlayList(false);
    }
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), rockBytes);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("The Play List could not")));
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("Rock.sdf*")}),
              QStringList{"Rock.sdf"}); // no half-written file left beside it
}

TEST_F(PlayListStoreTest, AListWhoseFileBecameAShortcutStaysOneWhenSaved)
{
    writeBytes(path(QStringLiteral("Pop.sdf")), popBytes);
    writeBytes(path(QStringLiteral("Rock.sdf")), rockBytes);
    store.LoadPlayLists(); // Rock is listed as a plain list
    ASSERT_TRUE(library.entry(1).shortcut.isEmpty());
    const QByteArray shortcut = PlayListFile::serializeShortcut(QStringLiteral("/srv/rock"));
    writeBytes(path(QStringLiteral("Rock.sdf")), shortcut);

    store.selectPlayList(1);
    store.LoadPlayList(QStringLiteral("Rock"));
    store.SavePlayList(false);
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), shortcut);
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.tmp"))), shortcut);
}

} // namespace

namespace {

// The real disk, counting the reads and writes of each file and whether each
// write was a scratch write.
class CountingDisk final : public PlayListDisk
{
public:
    std::optional<QByteArray> read(const QString &path, QString &error) override
    {
        ++reads[QFileInfo(path).fileName()];
        return PlayListDisk::read(path, error);
    }
    bool write(const QString &path, const QByteArray &bytes, QString &error) override
    {
        const QString name = QFileInfo(path).fileName();
        ++writes[name];
        scratch[name] = scratchWrites();
        return PlayListDisk::write(path, bytes, error);
    }

    QHash<QString, int> reads;
    QHash<QString, int> writes;
    QHash<QString, bool> scratch;
};

class PlayListStoreWritesTest : public PlayListStoreTest
{
protected:
    PlayListStoreWritesTest() { store.setDisk(&disk); }
    ~PlayListStoreWritesTest() override { store.setDisk(nullptr); }

    CountingDisk disk;
};

} // namespace

TEST_F(PlayListStoreWritesTest, TheWorkingCopyIsWrittenOnlyWhenTheSongsChanged)
{
    writeBytes(path("Rock.sdf"), rockBytes);
    store.LoadPlayLists();
    // The stored file is read once, and the working copy written once from
    // those bytes (it already holds the songs as shown), never read back.
    EXPECT_EQ(disk.reads.value("Rock.sdf"), 1);
    EXPECT_EQ(disk.reads.value("Rock.tmp"), 0);
    EXPECT_EQ(disk.writes.value("Rock.tmp"), 1);
    EXPECT_TRUE(disk.scratch.value("Rock.tmp"));
    EXPECT_GE(statusRefreshes, 2);
    EXPECT_EQ(readBytes(path("Rock.tmp")), rockBytes);

    addSong(QStringLiteral("New"));
    store.SavePlayList(true);
    store.SavePlayList(true);
    EXPECT_EQ(disk.writes.value("Rock.tmp"), 2);
    EXPECT_TRUE(disk.scratch.value("Rock.tmp"));
    const QByteArray withNew = rockBytes + storedLine({"New", "", "", "", "03:00", "/m/New"});
    EXPECT_EQ(readBytes(path("Rock.tmp")), withNew);

    // A new order is a change too, even with the same songs.
    songs.sort(chTitle, Qt::DescendingOrder);
    store.SavePlayList(true);
    EXPECT_EQ(disk.writes.value("Rock.tmp"), 3);
    EXPECT_TRUE(readBytes(path("Rock.tmp"))
                    .startsWith(storedLine({"R2", "", "", "", "04:00", "/m/r2.mp3"})));

    // A working copy removed behind the program's back is written again.
    QFile::remove(path("Rock.tmp"));
    store.SavePlayList(true);
    EXPECT_EQ(disk.writes.value("Rock.tmp"), 4);
    EXPECT_TRUE(QFile::exists(path("Rock.tmp")));

    // The stored file is no scratch: it is synced as before.
    store.SavePlayList(false);
    EXPECT_EQ(disk.writes.value("Rock.sdf"), 1);
    EXPECT_FALSE(disk.scratch.value("Rock.sdf", true));
    EXPECT_FALSE(disk.scratchWrites());
    // Nothing but the play list files is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList({QStringLiteral("Rock.sdf"), QStringLiteral("Rock.tmp")}));
}

TEST_F(PlayListStoreWritesTest, AWorkingCopyThatReadsBackDifferentlyIsWrittenInTheStoredForm)
{
    // Written elsewhere: LF line ends, a short line, Windows-1252 text.
    const QByteArray foreign = "A\xFF\xFF\xFF\xFF\x30\x33:00\xFF/m/a.mp3\xFF\n"
                               "B\xFF\xFF\n"
                               "\xC9t\xE9\xFF\xFF\xFF\xFF\xFF/m/e.mp3\xFF\r\n";
    writeBytes(path("Odd.sdf"), foreign);
    store.LoadPlayLists();
    EXPECT_EQ(disk.writes.value("Odd.tmp"), 1);
    EXPECT_EQ(readBytes(path("Odd.tmp")),
              storedLine({"A", "", "", "", "03:00", "/m/a.mp3"}) +
                  storedLine({"B", "", "", "", "", ""}) +
                  storedLine({"\xC3\x89t\xC3\xA9", "", "", "", "", "/m/e.mp3"}));
    EXPECT_EQ(readBytes(path("Odd.sdf")), foreign);
}

TEST_F(PlayListStoreWritesTest, SwitchingListsWritesEachOnlyWhenChanged)
{
    writeBytes(path("Pop.sdf"), popBytes);
    writeBytes(path("Rock.sdf"), rockBytes);
    store.LoadPlayLists();
    addSong(QStringLiteral("Extra"));
    // Made at the load, written again after the change.
    EXPECT_EQ(disk.writes.value("Pop.tmp"), 2);

    store.selectPlayList(1);
    store.LoadPlayList(QStringLiteral("Rock"));
    store.selectPlayList(0);
    store.LoadPlayList(QStringLiteral("Pop"));
    EXPECT_EQ(disk.writes.value("Pop.tmp"), 2);
    EXPECT_EQ(disk.writes.value("Rock.tmp"), 1); // made at its first load only
    EXPECT_EQ(songs.rowCount(), 2);
    EXPECT_EQ(readBytes(path("Pop.tmp")),
              popBytes + storedLine({"Extra", "", "", "", "03:00", "/m/Extra"}));
}

// The list shown at start-up is read and parsed beside the window, which
// goes on answering meanwhile; lists loaded later are read in place (the
// music may be playing then). Either way the stored bytes come back whole.
TEST_F(PlayListStoreTest, AHundredThousandSongListLoadedAndSavedKeepsItsBytes)
{
    QByteArray stored;
    for (int i = 0; i < 100000; ++i) {
        const QByteArray n = QByteArray::number(i);
        stored += storedLine({("Song " + n + " \xC3\x89t\xC3\xA9").constData(),
                              ("Artist " + QByteArray::number(i % 977)).constData(), "", "Rock",
                              "03:25", ("/srv/music/" + n + ".mp3").constData()});
    }
    writeBytes(path("Big.sdf"), stored);
    writeBytes(path("Pop.sdf"), popBytes);
    PlayListStore::Hooks hooks;
    hooks.updateStatusBar = [this] { store.SavePlayList(true); }; // as the fixture's
    int asideRuns = 0;
    hooks.runAside = [&asideRuns](const std::function<void()> &work) {
        ++asideRuns;
        runBesideEvents(work);
    };
    store.setHooks(hooks);
    int rowsMeanwhile = -1;
    QMetaObject::invokeMethod(
        &songs, [&] { rowsMeanwhile = songs.rowCount(); }, Qt::QueuedConnection);

    store.LoadPlayLists();
    EXPECT_EQ(asideRuns, 1);
    EXPECT_EQ(rowsMeanwhile, 0); // handled during the load, which lands its rows at once
    ASSERT_EQ(songs.rowCount(), 100000);
    store.SavePlayList(false);
    EXPECT_EQ(readBytes(path("Big.sdf")), stored);
    EXPECT_EQ(readBytes(path("Big.tmp")), stored);

    store.selectPlayList(1);
    store.LoadPlayList(QStringLiteral("Pop"));
    EXPECT_EQ(PlayListFile::serialize(songs.rows()), popBytes);
    EXPECT_EQ(asideRuns, 1);
}

namespace {

// What a start after a crash makes of the working copies left behind: a copy
// holding other songs than its stored file is kept, whatever its size; one
// that holds the same songs in another form (the program's own line ends and
// text encoding) is not; the writer's own temporary files go, nothing else.
TEST_F(PlayListStoreTest, RecoveryKeepsExactlyTheCopiesWhoseSongsDiffer)
{
    auto asWritten = [](const QByteArray &stored) {
        return PlayListFile::serialize(PlayListFile::parse(stored).songs);
    };
    QByteArray lf = rockBytes;
    lf.replace("\r\n", "\n");
    const QByteArray windows = "Caf\xE9\xFF"
                               "Bj\xF6rk\xFF\xFF\xFF"
                               "03:00\xFF/m/c.mp3\xFF\r\n";
    QByteArray oneLetter = rockBytes;
    oneLetter.replace("R2", "R3");
    const QByteArray swapped = storedLine({"R2", "", "", "", "04:00", "/m/r2.mp3"}) +
                               storedLine({"R1", "Band", "", "", "03:00", "/m/r1.mp3"});
    ASSERT_EQ(swapped.size(), rockBytes.size());
    struct Case
    {
        const char *name;
        QByteArray stored;
        QByteArray copy;
        bool kept;
    };
    const Case cases[] = {
        {"Same", rockBytes, rockBytes, false},
        {"LineFeeds", lf, asWritten(lf), false},
        {"Windows", windows, asWritten(windows), false},
        {"OneLetter", rockBytes, oneLetter, true},
        {"Swapped", rockBytes, swapped, true},
        {"Shortcut", PlayListFile::serializeShortcut(QStringLiteral("/srv/a")),
         PlayListFile::serializeShortcut(QStringLiteral("/srv/b")), true},
    };
    QStringList expected;
    for (const Case &c : cases) {
        writeBytes(path(QString::fromLatin1(c.name) + QStringLiteral(".sdf")), c.stored);
        writeBytes(path(QString::fromLatin1(c.name) + QStringLiteral(".tmp")), c.copy);
        if (c.kept)
            expected << QString::fromLatin1(c.name) + QStringLiteral(".tmp");
    }
    const QStringList leftovers{"Same.tmp.a1B2c3", "Gone.TMP.Zz9Yy8"};
    const QStringList others{"Same.tmp.a1B2c", "notes.txt.a1B2c3", "Same.sdf.a1B2c3", "x.tmp.bak"};
    for (const QString &file : leftovers + others)
        writeBytes(path(file), "junk");

    EXPECT_EQ(store.recoverWorkingCopies(), expected.size());
    QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    QStringList copies = left.filter(QRegularExpression(QStringLiteral("\\.tmp$")));
    expected.sort();
    EXPECT_EQ(copies, expected);
    for (const QString &file : leftovers)
        EXPECT_FALSE(left.contains(file)) << file.toStdString();
    for (const QString &file : others)
        EXPECT_TRUE(left.contains(file)) << file.toStdString();
    for (const Case &c : cases)
        EXPECT_EQ(readBytes(path(QString::fromLatin1(c.name) + QStringLiteral(".sdf"))), c.stored);
}

// Every path that gives a list its name leaves its working copy under that
// name only: a copy of an older name would come back as a list of its own
// after a crash.
TEST_F(PlayListStoreTest, TheWorkingCopyFollowsTheNameTheListIsSavedUnder)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), rockBytes);
    store.LoadPlayLists();
    struct Step
    {
        const char *what;
        std::function<void()> run;
        QStringList copies;
    };
    const std::vector<Step> steps = {
        {"save of a new list",
         [&] {
             store.NewPlayList(QString());
             addSong(QStringLiteral("S1"));
             dialogs.promptAnswers = {QStringLiteral("Shop")};
             store.SavePlayList(false);
         },
         {"Rock.tmp", "Shop.tmp"}},
        {"a second untitled list saved under a name taken by an unsaved one",
         [&] {
             store.NewPlayList(QStringLiteral("Fresh"));
             addSong(QStringLiteral("F1"));
             store.NewPlayList(QString());
             addSong(QStringLiteral("U1"));
             dialogs.promptAnswers = {QStringLiteral("Fresh"), QStringLiteral("Other")};
             dialogs.answers = {DialogAnswer::No};
             store.SavePlayList(false);
         },
         {"Fresh.tmp", "Other.tmp", "Rock.tmp", "Shop.tmp"}},
    };
    for (const Step &step : steps) {
        step.run();
        store.SavePlayList(true);
        store.finishWrites();
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files, QDir::Name),
                  step.copies)
            << step.what;
    }
    EXPECT_EQ(readBytes(path(QStringLiteral("Shop.tmp"))),
              readBytes(path(QStringLiteral("Shop.sdf"))));
    EXPECT_EQ(readBytes(path(QStringLiteral("Other.tmp"))),
              storedLine({"U1", "", "", "", "03:00", "/m/U1"}));
}

} // namespace
