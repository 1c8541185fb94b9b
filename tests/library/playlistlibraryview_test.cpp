#include "library/playlistcommands.h"
#include "library/playlistlibrarymodel.h"
#include "library/playlistlibraryview.h"
#include "library/playliststore.h"
#include "library/songlisteditor.h"
#include "library/songlistmodel.h"
#include "support/playlistfiles.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The library view wired to the real commands as the main window wires it.
class PlayListLibraryViewTest : public ::testing::Test
{
protected:
    PlayListLibraryViewTest()
        : songSelection(&songs)
    {
        view.setModel(&library);
        store = std::make_unique<PlayListStore>(dir.path(), library, *view.selectionModel(), songs,
                                                dialogs);
        editor = std::make_unique<SongListEditor>(songs, songSelection, *store, dialogs);
        commands = std::make_unique<PlayListCommands>(*store, library, *view.selectionModel(),
                                                      songs, *editor, dialogs);
        PlayListStore::Hooks storeHooks;
        storeHooks.updateStatusBar = [this] { store->SavePlayList(true); };
        store->setHooks(storeHooks);
        PlayListCommands::Hooks hooks;
        hooks.updateStatusBar = [this] { store->SavePlayList(true); };
        hooks.showPlayListMenu = [this] { ++menusShown; };
        hooks.editPlayListName = [this](int row) { view.editName(row); };
        commands->setHooks(hooks);

        PlayListCommands *c = commands.get();
        QObject::connect(&view, &PlayListLibraryView::mousePressed,
                         [c] { c->lvPlayLists_MouseDown(); });
        QObject::connect(&view, &PlayListLibraryView::mouseMoved,
                         [c] { c->lvPlayLists_MouseMove(); });
        QObject::connect(
            &view, &PlayListLibraryView::mouseReleased,
            [c](Qt::MouseButton button, int row) { c->lvPlayLists_MouseUp(button, row); });
        QObject::connect(
            &view, &PlayListLibraryView::labelEdited,
            [c](int row, const QString &text) { c->lvPlayLists_AfterLabelEdit(row, text); });
        QObject::connect(
            &view, &PlayListLibraryView::filesDropped,
            [c](const QStringList &paths, bool ctrl) { c->lvPlayLists_OLEDragDrop(paths, ctrl); });

        for (const char *name : {"Pop", "Rock"}) {
            const QByteArray title = QByteArray(name) + "1";
            writeBytes(dir.filePath(QLatin1String(name) + QStringLiteral(".sdf")),
                       storedLine({title.constData(), "", "", "", "03:00", "/m/x.mid"}));
        }
        store->LoadPlayLists();
        view.resize(300, 300);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QPoint centerOf(int row) const { return view.visualRect(library.index(row, 0)).center(); }

    QStringList titles() const
    {
        QStringList all;
        for (const SongRow &row : songs.rows())
            all << row.title();
        return all;
    }

    void moveWithLeftButton(const QPoint &to)
    {
        QMouseEvent move(QEvent::MouseMove, to, view.viewport()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
    }

    void drop(const QStringList &files, Qt::KeyboardModifiers modifiers)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &file : files)
            urls << QUrl::fromLocalFile(file);
        data.setUrls(urls);
        // Qt hands a drop only to the widget that accepted the drag.
        const QPoint at = centerOf(0);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(view.viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(view.viewport(), &move);
        QDropEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(view.viewport(), &event);
    }

    QTemporaryDir dir;
    PlayListLibraryModel library;
    SongListModel songs;
    QItemSelectionModel songSelection;
    ScriptedDialogs dialogs;
    PlayListLibraryView view;
    std::unique_ptr<PlayListStore> store;
    std::unique_ptr<SongListEditor> editor;
    std::unique_ptr<PlayListCommands> commands;
    int menusShown = 0;
};

TEST_F(PlayListLibraryViewTest, AClickSwitchesAndAPressMovedAwaySwitchesOnlyToANewSelection)
{
    ASSERT_EQ(titles(), QStringList{"Pop1"});
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centerOf(1));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centerOf(1));
    EXPECT_EQ(titles(), QStringList{"Rock1"});

    // A press on the shown entry moved away reloads nothing: the song list
    // keeps what it shows (here a song only the song list holds).
    songs.appendRow(songRow(QStringLiteral("Unsaved"), {}, {}, QStringLiteral("/m/u.mid")));
    const QPoint aside(3 * QApplication::startDragDistance(), 0);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centerOf(1));
    moveWithLeftButton(centerOf(1) + aside);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centerOf(1) + aside);
    EXPECT_TRUE(commands->PlayListMouseMoved());
    EXPECT_EQ(titles(), (QStringList{"Rock1", "Unsaved"}));

    // A press moved along another entry selects it: the song list follows,
    // as the commands write to the selected entry.
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, centerOf(0));
    moveWithLeftButton(centerOf(0) + aside);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, centerOf(0) + aside);
    EXPECT_TRUE(commands->PlayListMouseMoved());
    EXPECT_EQ(titles(), QStringList{"Pop1"});
}

TEST_F(PlayListLibraryViewTest, RightClickShowsTheMenuOnlyOverAnEntry)
{
    const QPoint below(10, view.viewport()->height() - 5);
    ASSERT_FALSE(view.indexAt(below).isValid());
    QTest::mousePress(view.viewport(), Qt::RightButton, {}, below);
    QTest::mouseRelease(view.viewport(), Qt::RightButton, {}, below);
    EXPECT_EQ(menusShown, 0);

    QTest::mousePress(view.viewport(), Qt::RightButton, {}, centerOf(1));
    QTest::mouseRelease(view.viewport(), Qt::RightButton, {}, centerOf(1));
    EXPECT_EQ(menusShown, 1);
    EXPECT_EQ(titles(), QStringList{"Rock1"});
}

TEST_F(PlayListLibraryViewTest, AnEditedNameGoesThroughTheRename)
{
    auto editTo = [this](const QString &text) {
        commands->mnuPLRename_Click();
        auto *line = view.viewport()->findChild<QLineEdit *>();
        ASSERT_NE(line, nullptr);
        line->setText(text);
        QTest::keyClick(line, Qt::Key_Return);
        // The editor commits, then the view hands the name over: two queued steps.
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    };

    editTo(QStringLiteral("Po?p"));
    EXPECT_EQ(library.entry(0).name, QStringLiteral("Pop"));
    EXPECT_EQ(dialogs.messages.size(), 1u);

    editTo(QStringLiteral("Jazz"));
    EXPECT_EQ(library.entry(0).name, QStringLiteral("Jazz"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Jazz.sdf"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("Pop.sdf"))));
}

TEST_F(PlayListLibraryViewTest, DroppedListsMergeWithCtrlAndBecomePlayListsWithout)
{
    const QString list = dir.filePath(QStringLiteral("a.m3u"));
    writeBytes(list, "x.mid\n");
    QSignalSpy drops(&view, &PlayListLibraryView::filesDropped);

    drop({list}, Qt::ControlModifier);
    ASSERT_EQ(drops.size(), 1);
    EXPECT_EQ(titles(), (QStringList{"Pop1", "x"}));
    EXPECT_EQ(library.count(), 2);

    drop({list}, Qt::NoModifier);
    ASSERT_EQ(library.count(), 3);
    EXPECT_EQ(library.entry(2).name, QStringLiteral("a"));
    EXPECT_EQ(titles(), QStringList{"x"});

    // A drag that carries no files is not accepted.
    QMimeData text;
    text.setText(QStringLiteral("x.mid"));
    QDragEnterEvent enter(centerOf(0), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

} // namespace
