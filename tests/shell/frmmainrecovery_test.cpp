// Unsaved changes outlive a VORN that ended without its closing steps (a
// crash, a kill, a power cut): the next start shows them as unsaved, and the
// closing question saves them.
#include "library/playlistlibrarymodel.h"
#include "library/playlistlibraryview.h"
#include "library/songlistactions.h"
#include "library/songlistmodel.h"
#include "library/songlistview.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QDir>
#include <QStatusBar>
#include <QTest>

namespace {

class frmMainRecoveryTest : public frmMainFixture
{
protected:
    static QStringList titles(frmMain &window)
    {
        QStringList all;
        for (const SongRow &row : window.songs().rows())
            all << row.title();
        return all;
    }
    static QString note(frmMain &window) { return window.statusBar()->currentMessage(); }
    QStringList workingCopies() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("*.tmp")}, QDir::Files, QDir::Name);
    }
    void clickEntry(frmMain &window, int row)
    {
        auto *view = window.findChild<PlayListLibraryView *>(QStringLiteral("lvPlayLists"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          view->visualRect(window.library().index(row, 0)).center());
    }
};

TEST_F(frmMainRecoveryTest, AListChangedBeforeAKillIsUnsavedAfterTheNextStartAndYesSavesIt)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    {
        auto window = start();
        ASSERT_EQ(titles(*window), (QStringList{"One", "Two", "Three"}));
        window->songView().selectionModel()->select(window->songs().index(1, 0),
                                                    QItemSelectionModel::ClearAndSelect |
                                                        QItemSelectionModel::Rows);
        window->songActions().mnuSongsRemove->trigger();
        ASSERT_EQ(titles(*window), (QStringList{"One", "Three"}));
        // Killed: the window goes without a word, its closing steps never run.
    }
    const QByteArray changed = storedLine({"One", "A", "", "", "03:25", "/m/1.mp3"}) +
                               storedLine({"Three", "", "", "", "", "/m/3.mid"});
    ASSERT_EQ(readBytes(path(QStringLiteral("Rock.tmp"))), changed);

    auto window = start();
    EXPECT_EQ(titles(*window), (QStringList{"One", "Three"}));
    EXPECT_EQ(window->library().entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(note(*window), QStringLiteral("1 Play List with unsaved changes was recovered"));
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), threeSongs);

    dialogs.answers = {DialogAnswer::Yes};
    EXPECT_TRUE(closeWindow(*window));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Do you want to save changes for the 'Rock"));
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), changed);
    EXPECT_TRUE(workingCopies().isEmpty());
}

TEST_F(frmMainRecoveryTest, LeftoversAreSortedIntoChangedOrphanedAndUnchanged)
{
    const QByteArray popBytes = storedLine({"Pop1", "P", "", "", "03:00", "/m/p.mid"});
    const QByteArray goneBytes = storedLine({"Lost1", "L", "", "", "01:00", "/m/l.mid"});
    writeBytes(path(QStringLiteral("Pop.sdf")), popBytes);
    writeBytes(path(QStringLiteral("Pop.tmp")), popBytes + goneBytes); // changed
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    writeBytes(path(QStringLiteral("Rock.tmp")), threeSongs); // unchanged
    writeBytes(path(QStringLiteral("Gone.tmp")), goneBytes);  // its stored file deleted
    writeBytes(path(QStringLiteral("Empty.tmp")), "");        // nothing in it to lose

    auto window = makeWindow();
    // Only the unchanged and the empty leftover are gone before anything loads.
    EXPECT_EQ(workingCopies(), (QStringList{"Gone.tmp", "Pop.tmp"}));
    window->show();
    window->tmrInit_Timer();

    PlayListLibraryModel &library = window->library();
    ASSERT_EQ(library.count(), 3);
    EXPECT_EQ(library.entry(0).name, QStringLiteral("Gone"));
    EXPECT_EQ(library.entry(0).tag, QStringLiteral("*"));
    EXPECT_EQ(library.entry(1).name, QStringLiteral("Pop"));
    EXPECT_EQ(library.entry(1).tag, QStringLiteral("*"));
    EXPECT_EQ(library.entry(2).name, QStringLiteral("Rock"));
    EXPECT_TRUE(library.entry(2).tag.isEmpty());
    EXPECT_EQ(note(*window), QStringLiteral("2 Play Lists with unsaved changes were recovered"));

    EXPECT_EQ(titles(*window), QStringList{"Lost1"});
    clickEntry(*window, 1);
    EXPECT_EQ(titles(*window), (QStringList{"Pop1", "Lost1"}));
    clickEntry(*window, 2);
    EXPECT_EQ(titles(*window), (QStringList{"One", "Two", "Three"}));

    // Yes for the list whose stored file was gone writes it under its own
    // name; No for the other leaves its stored file as it was.
    dialogs.answers = {DialogAnswer::Yes, DialogAnswer::No};
    EXPECT_TRUE(closeWindow(*window));
    EXPECT_EQ(readBytes(path(QStringLiteral("Gone.sdf"))), goneBytes);
    EXPECT_EQ(readBytes(path(QStringLiteral("Pop.sdf"))), popBytes);
    EXPECT_EQ(readBytes(path(QStringLiteral("Rock.sdf"))), threeSongs);
    EXPECT_TRUE(workingCopies().isEmpty());
}

TEST_F(frmMainRecoveryTest, ANormalStartSaysNothingAboutRecovery)
{
    writeBytes(path(QStringLiteral("Rock.sdf")), threeSongs);
    auto window = start();
    EXPECT_TRUE(note(*window).isEmpty());
    EXPECT_TRUE(window->library().entry(0).tag.isEmpty());
    EXPECT_TRUE(closeWindow(*window));
}

} // namespace
