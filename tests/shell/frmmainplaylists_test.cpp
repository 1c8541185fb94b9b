#include "core/twips.h"
#include "library/playlistfile.h"
#include "library/playlistlibrarymodel.h"
#include "library/playlistlibraryview.h"
#include "library/songlistactions.h"
#include "library/songlistmodel.h"
#include "library/songlistview.h"
#include "playback/playeractions.h"
#include "shell/mainactions.h"
#include "support/frmmainfixture.h"
#include "support/waitfor.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {

// The user's paths through the library and the song list of the real window:
// whatever the song list shows is what the commands write, and dropped files
// are never lost.
class frmMainPlayListsTest : public frmMainFixture
{
protected:
    const QByteArray popBytes = storedLine({"Pop1", "P", "", "", "03:00", "/m/p.mid"});
    const QByteArray rockBytes = storedLine({"Rock1", "R", "", "", "03:00", "/m/r1.mid"}) +
                                 storedLine({"Rock2", "R", "", "", "02:00", "/m/r2.mid"});

    std::unique_ptr<frmMain> startWithPopAndRock()
    {
        writeBytes(path(QStringLiteral("Pop.sdf")), popBytes);
        writeBytes(path(QStringLiteral("Rock.sdf")), rockBytes);
        auto window = start();
        EXPECT_EQ(titles(*window), QStringList{"Pop1"});
        return window;
    }

    PlayListLibraryView *library(frmMain &window) const
    {
        return window.findChild<PlayListLibraryView *>(QStringLiteral("lvPlayLists"));
    }
    QPoint entryCenter(frmMain &window, int row) const
    {
        return library(window)->visualRect(window.library().index(row, 0)).center();
    }
    void click(frmMain &window, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(library(window)->viewport(), Qt::LeftButton, modifiers,
                          entryCenter(window, row));
    }

    static QStringList titles(frmMain &window)
    {
        QStringList all;
        for (const SongRow &row : window.songs().rows())
            all << row.title();
        return all;
    }
    QByteArray bytes(const QString &file) const { return readBytes(path(file)); }
    QString media(const QString &name) const
    {
        const QString file = path(name);
        writeBytes(file, "0123456789");
        return file;
    }
    static QByteArray mediaLine(const QString &file, const char *title)
    {
        const QByteArray utf8 = file.toUtf8();
        return storedLine({title, "", "", "", "00:00", utf8.constData()});
    }

    // A drag of local files from a file manager that offers copy and move and
    // proposes move, over `target` to `at` and dropped there.
    static Qt::DropAction dropFiles(QWidget *target, const QStringList &files, const QPoint &at,
                                    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &file : files)
            urls << QUrl::fromLocalFile(file);
        data.setUrls(urls);
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, modifiers);
        enter.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, offered, &data, Qt::LeftButton, modifiers);
        move.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(at, offered, &data, Qt::LeftButton, modifiers);
        drop.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
    static QWidget *songViewport(frmMain &window)
    {
        return window.songView().currentView()->viewport();
    }

    void closeWithoutSaving(frmMain &window)
    {
        dialogs.answers = {DialogAnswer::No, DialogAnswer::No, DialogAnswer::No, DialogAnswer::No};
        EXPECT_TRUE(closeWindow(window));
    }
};

// While a big list is imported the window answers: Stop stops the music, and
// closing stops the import (nothing of it is kept, the stored lists are as
// they were) and then closes the window.
TEST_F(frmMainPlayListsTest, DuringAnImportStopStopsTheMusicAndClosingEndsBoth)
{
    writeBytes(path("Pop.sdf"), popBytes);
    QByteArray m3u;
    for (int i = 0; i < 5000; ++i)
        m3u += "/m/song" + QByteArray::number(i) + ".mid\n";
    writeBytes(path("big.m3u"), m3u);
    auto window = start();
    window->playerActions().tbPlay->trigger();
    ASSERT_EQ(link->state, FakePlayerLink::kPlaying);

    dialogs.fileAnswers = {{path("big.m3u")}};
    bool stoppedDuring = false;
    QTimer::singleShot(0, [&] {
        window->playerActions().tbStop->trigger();
        stoppedDuring = link->state == FakePlayerLink::kStopped;
        window->close();
    });
    window->mainActions().mnuPLOpen->trigger();
    EXPECT_TRUE(stoppedDuring);
    ASSERT_TRUE(waitFor([&] { return !window->isVisible(); }));
    EXPECT_FALSE(exists("big.sdf"));
    EXPECT_FALSE(exists("big.tmp"));
    EXPECT_EQ(readBytes(path("Pop.sdf")), popBytes);
}

// A click on a shortcut lists its folder beside the window: meanwhile the
// status says so, the library waits and the rows shown stay; then the
// folder's files are the list.
TEST_F(frmMainPlayListsTest, AClickedShortcutIsListedWhileTheWindowAnswers)
{
    writeBytes(path("Pop.sdf"), popBytes);
    const QString folder = path("media");
    ASSERT_TRUE(QDir().mkpath(folder));
    media("media/one.mid");
    media("media/two.mid");
    writeBytes(path("Shortcut.sdf"), PlayListFile::serializeShortcut(folder));
    auto window = start();
    ASSERT_EQ(titles(*window), QStringList{"Pop1"});

    QString status;
    bool libraryEnabled = true;
    QStringList meanwhile;
    QTimer::singleShot(0, [&] {
        status = window->statusBar()->currentMessage();
        libraryEnabled = library(*window)->isEnabled();
        meanwhile = titles(*window);
    });
    click(*window, 1);
    EXPECT_EQ(status, QStringLiteral("Listing %1...").arg(QDir::toNativeSeparators(folder)));
    EXPECT_FALSE(libraryEnabled);
    EXPECT_EQ(meanwhile, QStringList{"Pop1"});
    EXPECT_EQ(titles(*window), (QStringList{"one", "two"}));
    EXPECT_TRUE(library(*window)->isEnabled());
    EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
}

TEST_F(frmMainPlayListsTest, KeysAndDragsOnTheLibrarySwitchTheShownListAsAClickDoes)
{
    auto window = startWithPopAndRock();
    const MainActions &a = window->mainActions();

    // Down moves the selection to Rock: the song list follows, so Save
    // writes Rock's own songs into Rock.
    click(*window, 0);
    QTest::keyClick(library(*window), Qt::Key_Down);
    EXPECT_EQ(titles(*window), (QStringList{"Rock1", "Rock2"}));
    a.tbSavePlayList->trigger();
    EXPECT_EQ(bytes(QStringLiteral("Rock.sdf")), rockBytes);
    EXPECT_EQ(bytes(QStringLiteral("Rock.tmp")), rockBytes);
    EXPECT_EQ(bytes(QStringLiteral("Pop.sdf")), popBytes);
    EXPECT_EQ(bytes(QStringLiteral("Pop.tmp")), popBytes);

    // A press on Pop moved along its row before the release selects Pop.
    auto *viewport = library(*window)->viewport();
    const QPoint from = entryCenter(*window, 0);
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    const QPoint to = from + QPoint(3 * QApplication::startDragDistance(), 0);
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    EXPECT_EQ(titles(*window), QStringList{"Pop1"});
    a.mnuPLSave->trigger();
    EXPECT_EQ(bytes(QStringLiteral("Pop.sdf")), popBytes);
    EXPECT_EQ(bytes(QStringLiteral("Rock.sdf")), rockBytes);

    // The song order left behind is kept when the list is switched.
    QTest::keyClick(library(*window), Qt::Key_Down);
    window->songView().selectionModel()->select(window->songs().index(0, 0),
                                                QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    window->songActions().tbDown->trigger();
    EXPECT_EQ(titles(*window), (QStringList{"Rock2", "Rock1"}));
    QTest::keyClick(library(*window), Qt::Key_Up);
    EXPECT_EQ(bytes(QStringLiteral("Rock.tmp")),
              storedLine({"Rock2", "R", "", "", "02:00", "/m/r2.mid"}) +
                  storedLine({"Rock1", "R", "", "", "03:00", "/m/r1.mid"}));
    EXPECT_EQ(bytes(QStringLiteral("Rock.sdf")), rockBytes);
    closeWithoutSaving(*window);
}

TEST_F(frmMainPlayListsTest, WithTwoListsSelectedNothingWritesTheShownSongsElsewhere)
{
    auto window = startWithPopAndRock();
    const MainActions &a = window->mainActions();
    const SongListActions &songs = window->songActions();

    click(*window, 0);
    click(*window, 1, Qt::ControlModifier);
    ASSERT_EQ(library(*window)->selectionModel()->selectedRows().size(), 2);
    EXPECT_EQ(titles(*window), QStringList{"Pop1"});
    for (QAction *action : {a.tbAdd, a.tbRemove, a.tbSavePlayList, a.mnuPLSave, a.mnuPLMerge,
                            songs.tbAdd, songs.tbRemove, songs.mnuSongsAdd}) {
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
        action->trigger();
    }
    EXPECT_TRUE(dialogs.fileDialogs.empty());

    // A song-list drop and a Ctrl-drop of a list on the library are refused.
    const QString wav = media(QStringLiteral("a.wav"));
    const QString m3u = path(QStringLiteral("list.m3u"));
    writeBytes(m3u, "/m/x.mid\n");
    dropFiles(songViewport(*window), {wav}, QPoint(5, 5));
    dropFiles(library(*window)->viewport(), {m3u}, entryCenter(*window, 0), Qt::ControlModifier);
    EXPECT_EQ(titles(*window), QStringList{"Pop1"});
    EXPECT_EQ(bytes(QStringLiteral("Pop.tmp")), popBytes);
    EXPECT_FALSE(exists(QStringLiteral("Rock.tmp")));
    EXPECT_EQ(bytes(QStringLiteral("Rock.sdf")), rockBytes);
    EXPECT_EQ(bytes(QStringLiteral("Pop.sdf")), popBytes);

    // One entry selected again: the commands come back and follow it.
    click(*window, 1);
    EXPECT_TRUE(a.tbSavePlayList->isEnabled());
    EXPECT_TRUE(songs.tbAdd->isEnabled());
    EXPECT_EQ(titles(*window), (QStringList{"Rock1", "Rock2"}));
    dropFiles(library(*window)->viewport(), {m3u}, entryCenter(*window, 1), Qt::ControlModifier);
    EXPECT_EQ(bytes(QStringLiteral("Rock.tmp")),
              rockBytes + storedLine({"x", "", "", "", "00:00", "/m/x.mid"}));
    EXPECT_EQ(bytes(QStringLiteral("Pop.tmp")), popBytes);
    closeWithoutSaving(*window);
}

TEST_F(frmMainPlayListsTest, AnUpperCaseStoredFileIsReadAndWrittenUnderItsOwnName)
{
    writeBytes(path(QStringLiteral("Party.SDF")), popBytes);
    const QByteArray other = storedLine({"Lower", "", "", "", "", "/m/l.mid"});
    writeBytes(path(QStringLiteral("a.sdf")), other);
    writeBytes(path(QStringLiteral("a.SDF")), rockBytes);
    auto window = start();
    ASSERT_EQ(window->library().count(), 3);

    QStringList shown;
    for (int row = 0; row < 3; ++row) {
        click(*window, row);
        shown << titles(*window).join(QLatin1Char(','));
    }
    // The two case-only twins each show their own songs, whatever their order.
    EXPECT_TRUE(shown.contains(QStringLiteral("Lower")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Rock1,Rock2")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Pop1")));
    EXPECT_EQ(bytes(QStringLiteral("a.tmp")), other);
    EXPECT_EQ(bytes(QStringLiteral("a.TMP")), rockBytes);

    const int party = window->library().findByName(QStringLiteral("Party"));
    click(*window, party);
    window->songView().selectionModel()->select(window->songs().index(0, 0),
                                                QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    window->songActions().tbRemove->trigger();
    window->mainActions().tbSavePlayList->trigger();
    EXPECT_EQ(bytes(QStringLiteral("Party.SDF")), QByteArray());
    EXPECT_FALSE(exists(QStringLiteral("Party.sdf")));
    closeWithoutSaving(*window);
    EXPECT_FALSE(exists(QStringLiteral("Party.TMP")));
    EXPECT_FALSE(exists(QStringLiteral("a.TMP")));
}

TEST_F(frmMainPlayListsTest, FilesDropOnTheSongListInEveryViewAsACopy)
{
    auto window = startWithPopAndRock();
    QByteArray expected = popBytes;
    for (int mode = 0; mode < MainActions::kViewModeCount; ++mode) {
        window->mainActions().mnuViewMode[static_cast<size_t>(mode)]->trigger();
        ASSERT_EQ(window->songView().viewMode(), mode);
        QWidget *viewport = songViewport(*window);
        EXPECT_TRUE(viewport->acceptDrops()) << mode;
        const QString file = media(QStringLiteral("s%1.wav").arg(mode));
        const QPoint below(5, viewport->height() - 3);
        EXPECT_EQ(dropFiles(viewport, {file}, below), Qt::CopyAction) << mode;
        expected += mediaLine(file, QStringLiteral("s%1").arg(mode).toUtf8().constData());
        EXPECT_EQ(bytes(QStringLiteral("Pop.tmp")), expected) << mode;
        // The pointer is the normal one again after the drop.
        EXPECT_FALSE(viewport->testAttribute(Qt::WA_SetCursor)) << mode;
    }
    EXPECT_EQ(window->library().entry(0).tag, QStringLiteral("*"));

    // A drag that leaves the list takes its pointer and line with it.
    QWidget *viewport = songViewport(*window);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(media(QStringLiteral("z.wav")))});
    const QPoint overRow =
        window->songView().currentView()->visualRect(window->songs().index(1, 0)).center();
    QDragEnterEvent enter(overRow, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(overRow, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    move.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(viewport, &move);
    EXPECT_EQ(move.dropAction(), Qt::CopyAction);
    EXPECT_TRUE(viewport->testAttribute(Qt::WA_SetCursor));
    QDragLeaveEvent leave;
    QApplication::sendEvent(viewport, &leave);
    EXPECT_FALSE(viewport->testAttribute(Qt::WA_SetCursor));
    EXPECT_FALSE(window->songView().insertionLineVisible());

    // The library takes dropped lists as a copy too.
    const QString m3u = path(QStringLiteral("night.m3u"));
    writeBytes(m3u, "/m/n.mid\n");
    EXPECT_EQ(dropFiles(library(*window)->viewport(), {m3u}, entryCenter(*window, 0)),
              Qt::CopyAction);
    closeWithoutSaving(*window);
}

TEST_F(frmMainPlayListsTest, MediaDroppedWithAListKeepTheirPlayList)
{
    auto window = startWithPopAndRock();
    const QString m3u = path(QStringLiteral("list.m3u"));
    writeBytes(m3u, "/m/x.mid\n");
    const QByteArray listSong = storedLine({"x", "", "", "", "00:00", "/m/x.mid"});
    const QString wav = media(QStringLiteral("a.wav"));

    dropFiles(songViewport(*window), {wav, m3u}, QPoint(5, 5));
    EXPECT_EQ(bytes(QStringLiteral("Pop.tmp")), popBytes + mediaLine(wav, "a"));
    EXPECT_EQ(bytes(QStringLiteral("list.tmp")), listSong);
    EXPECT_EQ(titles(*window), QStringList{"x"});

    // The other way round the media join the new list.
    const QString wav2 = media(QStringLiteral("b.wav"));
    dropFiles(songViewport(*window), {m3u, wav2}, QPoint(5, 5));
    EXPECT_EQ(bytes(QStringLiteral("list 1.tmp")), listSong + mediaLine(wav2, "b"));
    EXPECT_EQ(bytes(QStringLiteral("list.tmp")), listSong);
    EXPECT_EQ(bytes(QStringLiteral("Pop.tmp")), popBytes + mediaLine(wav, "a"));
    EXPECT_EQ(bytes(QStringLiteral("Pop.sdf")), popBytes);
    closeWithoutSaving(*window);
}

TEST_F(frmMainPlayListsTest, MediaDroppedOnAShortcutListAreRefused)
{
    const QString folder = path(QStringLiteral("Jukebox"));
    QDir().mkpath(folder);
    writeBytes(folder + QStringLiteral("/c.mid"), "x");
    const QByteArray shortcut = "#SHORTCUT#\r\n" + folder.toUtf8() + "\r\n";
    writeBytes(path(QStringLiteral("Box.sdf")), shortcut);
    auto window = start();
    ASSERT_EQ(titles(*window), QStringList{"c"});

    dropFiles(songViewport(*window), {media(QStringLiteral("a.wav"))}, QPoint(5, 5));
    EXPECT_EQ(titles(*window), QStringList{"c"});
    EXPECT_EQ(bytes(QStringLiteral("Box.tmp")), shortcut);
    EXPECT_TRUE(window->library().entry(0).tag.isEmpty());
    EXPECT_TRUE(closeWindow(*window));
    EXPECT_EQ(bytes(QStringLiteral("Box.sdf")), shortcut);
}

TEST_F(frmMainPlayListsTest, OpenAndMergeOfferM3u8Lists)
{
    auto window = start();
    dialogs.fileAnswers = {QStringList(), QStringList()};
    window->mainActions().tbOpenPlayList->trigger();
    window->mainActions().mnuPLMerge->trigger();
    ASSERT_EQ(dialogs.fileDialogs.size(), 2u);
    for (const auto &shown : dialogs.fileDialogs) {
        EXPECT_EQ(
            shown.text,
            QStringLiteral("Supported Play List Files|*.pls;*.m3u;*.m3u8|All Files (*.*)|*.*"));
    }
    EXPECT_TRUE(closeWindow(*window));
}

TEST_F(frmMainPlayListsTest, AnEarlyCloseKeepsTheStoredViewOptions)
{
    settings->SaveSetting("Preferences", "TextLabels", QStringLiteral("0"));
    settings->SaveSetting("Preferences", "ShowBanner", QStringLiteral("1"));
    settings->SaveSetting("Preferences", "WchArtist", QStringLiteral("3210"));
    settings->SaveSetting("Preferences", "IchArtist", QStringLiteral("4"));
    settings->sync();

    auto window = makeWindow();
    window->show();
    // Closed before the start-up timer ran.
    ASSERT_TRUE(closeWindow(*window));
    EXPECT_FALSE(window->findChild<QTimer *>(QStringLiteral("tmrInit"))->isActive());
    window.reset();

    reopenSettings();
    EXPECT_EQ(settings->GetSetting("Preferences", "TextLabels", {}), QStringLiteral("0"));
    EXPECT_EQ(settings->GetSetting("Preferences", "ShowBanner", {}), QStringLiteral("1"));
    EXPECT_EQ(settings->GetSetting("Preferences", "WchArtist", {}), QStringLiteral("3210"));
    EXPECT_EQ(settings->GetSetting("Preferences", "IchArtist", {}), QStringLiteral("4"));
    // The geometry, applied at creation, is still stored.
    EXPECT_FALSE(settings->GetSetting("Preferences", "MainW", {}).isEmpty());
}

TEST_F(frmMainPlayListsTest, AWindowStoredOffScreenOrHugeOpensOnTheScreenAndIsStoredSo)
{
    settings->SaveSetting("Preferences", "MainX", QStringLiteral("999999999"));
    settings->SaveSetting("Preferences", "MainY", QStringLiteral("-5000000"));
    settings->SaveSetting("Preferences", "MainW", QStringLiteral("1e300"));
    settings->SaveSetting("Preferences", "MainH", QStringLiteral("4000"));
    auto window = start();
    const QRect available = window->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(window->frameGeometry()))
        << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
        << window->frameGeometry().width() << "x" << window->frameGeometry().height() << " in "
        << available.width() << "x" << available.height() << " min " << window->minimumHeight();
    const double dpi = window->screen()->logicalDotsPerInch();
    const QRect shown = window->geometry();
    ASSERT_TRUE(closeWindow(*window));
    window.reset();

    reopenSettings();
    EXPECT_EQ(settings->GetSetting("Preferences", "MainX", {}),
              QString::number(pixelsToTwips(shown.x(), dpi)));
    EXPECT_EQ(settings->GetSetting("Preferences", "MainW", {}),
              QString::number(pixelsToTwips(shown.width(), dpi)));
    auto again = start();
    EXPECT_EQ(again->geometry(), shown);
    EXPECT_TRUE(closeWindow(*again));
}

} // namespace

// A stored list with fields of megabytes (a 20 MB title, a megabyte of NUL
// bytes, of accented text, of plain text) shows at once, every cell laid out
// from the start of its text only, and a Save writes every byte back as it
// was.
TEST_F(frmMainPlayListsTest, HugeFieldsShowAtOnceAndAreSavedByteForByte)
{
    const QByteArray title = QByteArray(20 * 1024 * 1024, 'T') + "end";
    const QByteArray nuls(1024 * 1024, '\0');
    const QByteArray accents = QByteArray("\xC3\xA9").repeated(1024 * 1024);
    const QByteArray plain(1024 * 1024, 'g');
    QByteArray huge;
    for (const QByteArray &field :
         {title, nuls, accents, plain, QByteArray("03:00"), QByteArray("/m/huge.mp3")})
        huge += field + '\xFF';
    huge += "\r\n";
    const QByteArray bytes = huge + storedLine({"Next", "", "", "", "02:00", "/m/n.mp3"});
    writeBytes(path(QStringLiteral("Huge.sdf")), bytes);

    QElapsedTimer clock;
    clock.start();
    auto window = start();
    window->resize(900, 500);
    const QImage shown = window->grab().toImage();
    auto *view = window->findChild<SongListView *>();
    ASSERT_NE(view, nullptr);
    view->detailsView()->viewport()->repaint();
    // A few hundred milliseconds with sanitizers on a busy machine; laying
    // out the whole texts held the window for minutes.
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(shown.isNull());

    ASSERT_EQ(window->songs().rowCount(), 2);
    const QModelIndex cell = window->songs().index(0, chTitle);
    const QString shownTitle = cell.data(Qt::DisplayRole).toString();
    EXPECT_EQ(shownTitle.size(), 1024);
    EXPECT_TRUE(shownTitle.startsWith(QStringLiteral("TTTT")));
    EXPECT_TRUE(shownTitle.endsWith(QChar(0x2026)));
    EXPECT_EQ(window->songs().index(0, chArtist).data(Qt::DisplayRole).toString().size(), 1024);
    EXPECT_EQ(window->songs().row(0).fieldUtf8(chTitle).size(), title.size());

    window->mainActions().tbSavePlayList->trigger();
    EXPECT_EQ(readBytes(path(QStringLiteral("Huge.sdf"))), bytes);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return readBytes(path(QStringLiteral("Huge.tmp"))) == bytes; }, 10000));
}
