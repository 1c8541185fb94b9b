#include "library/playlistcommands.h"
#include "library/playlistdisk.h"
#include "library/playlistlibrarymodel.h"
#include "library/playliststore.h"
#include "library/songlistactions.h"
#include "library/songlistmodel.h"
#include "library/songlistview.h"
#include "shell/mainactions.h"
#include "support/frmmainfixture.h"
#include "support/smallvolume.h"

#include <QAction>
#include <QDir>
#include <QItemSelectionModel>
#include <QStatusBar>

#include <functional>

#include <sys/mount.h>

namespace {

// The real disk, with chosen operations failing as a full, read-only or
// unreadable disk fails them.
class FailingDisk final : public PlayListDisk
{
public:
    // Each returns the failure's reason for a path, or an empty text to let
    // the real operation run.
    std::function<QString(const QString &)> readFailure = [](const QString &) { return QString(); };
    std::function<QString(const QString &)> writeFailure = [](const QString &) {
        return QString();
    };

    std::optional<QByteArray> read(const QString &path, QString &error) override
    {
        error = readFailure(path);
        return error.isEmpty() ? PlayListDisk::read(path, error) : std::nullopt;
    }
    bool write(const QString &path, const QByteArray &bytes, QString &error) override
    {
        error = writeFailure(path);
        return error.isEmpty() && PlayListDisk::write(path, bytes, error);
    }
};

class frmMainFileFailuresTest : public frmMainFixture
{
protected:
    // A play list of `count` songs as it is stored.
    static QByteArray manySongs(int count)
    {
        QByteArray all;
        for (int i = 0; i < count; ++i) {
            const QByteArray title = "Song number " + QByteArray::number(i);
            const QByteArray file =
                "/music/some/folder/song number " + QByteArray::number(i) + ".mid";
            all += storedLine(
                {title.constData(), "An Artist", "An Album", "Pop", "03:25", file.constData()});
        }
        return all;
    }

    std::unique_ptr<frmMain> startOn(PlayListDisk &disk, const QString &folder)
    {
        auto player = std::make_unique<FakePlayerLink>();
        link = player.get();
        auto window = std::make_unique<frmMain>(folder, *settings, dialogs, std::move(player));
        window->store().setDisk(&disk);
        window->show();
        window->tmrInit_Timer();
        return window;
    }

    std::vector<QString> messageTexts() const
    {
        std::vector<QString> texts;
        for (const auto &shown : dialogs.messages)
            texts.push_back(shown.text);
        return texts;
    }

    static bool mentions(const std::vector<QString> &texts, const QString &a, const QString &b)
    {
        for (const QString &text : texts) {
            if (text.contains(a) && text.contains(b))
                return true;
        }
        return false;
    }
};

TEST_F(frmMainFileFailuresTest, AFullDiskShowsTheStoredSongsAndNeverEmptiesTheStoredFile)
{
    const QByteArray stored = manySongs(680);
    writeBytes(path(QStringLiteral("A.sdf")), stored);
    FailingDisk disk;
    disk.writeFailure = [](const QString &) { return QStringLiteral("No space left on device"); };
    auto window = startOn(disk, dir.path());

    EXPECT_EQ(window->songs().rowCount(), 680);
    EXPECT_EQ(panel(*window, "pMediaFiles"), QStringLiteral("680 Media Files"));
    EXPECT_FALSE(exists(QStringLiteral("A.tmp")));
    // The working copy's failure is said once, naming the list and the reason.
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        mentions(messageTexts(), QStringLiteral("'A'"), QStringLiteral("No space left on device")));
    window->UpdateStatusBar();
    EXPECT_EQ(dialogs.messages.size(), 1u);

    window->mainActions().tbSavePlayList->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages.back().text.contains(QStringLiteral("could not be saved")));
    EXPECT_EQ(readBytes(path(QStringLiteral("A.sdf"))), stored);

    // Once the disk has room again the working copy follows and the save works.
    disk.writeFailure = [](const QString &) { return QString(); };
    window->UpdateStatusBar();
    EXPECT_EQ(readBytes(path(QStringLiteral("A.tmp"))), stored);
    EXPECT_TRUE(closeWindow(*window));
    EXPECT_EQ(readBytes(path(QStringLiteral("A.sdf"))), stored);
}

TEST_F(frmMainFileFailuresTest, AnUnreadableListIsReportedAndNeverWritten)
{
    const QByteArray stored = manySongs(3);
    writeBytes(path(QStringLiteral("A.sdf")), stored);
    writeBytes(path(QStringLiteral("B.sdf")), manySongs(1));
    FailingDisk disk;
    disk.readFailure = [](const QString &file) {
        return file.endsWith(QLatin1String("/A.sdf")) || file.endsWith(QLatin1String("/A.tmp"))
                   ? QStringLiteral("Permission denied")
                   : QString();
    };
    auto window = startOn(disk, dir.path());

    EXPECT_EQ(window->songs().rowCount(), 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        mentions(messageTexts(), QStringLiteral("'A'"), QStringLiteral("Permission denied")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QDir::toNativeSeparators(path("A"))));

    // Songs cannot be added to it (they could never be kept), and the commands
    // say why; another list can be changed as ever.
    const QString reason =
        QStringLiteral("The Play List 'A' could not be read, so it cannot be changed.");
    const QString song = path(QStringLiteral("x.mid"));
    writeBytes(song, "x");
    dialogs.fileAnswers = {{song}};
    for (QAction *action : {window->mainActions().tbAdd, window->songActions().mnuSongsAdd,
                            window->songActions().tbUp, window->mainActions().tbSavePlayList}) {
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
        EXPECT_EQ(action->toolTip(), reason) << action->objectName().toStdString();
    }
    window->mainActions().tbAdd->trigger();
    window->mainActions().tbSavePlayList->trigger();
    EXPECT_EQ(window->songs().rowCount(), 0);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(readBytes(path(QStringLiteral("A.sdf"))), stored);
    EXPECT_FALSE(exists(QStringLiteral("A.tmp")));

    window->store().selectPlayList(1);
    window->commands().followLibrarySelection();
    ASSERT_EQ(window->store().ShownPlayList(), 1);
    EXPECT_TRUE(window->mainActions().tbAdd->isEnabled());
    EXPECT_NE(window->mainActions().tbAdd->toolTip(), reason);

    // Nothing was changed: closing asks nothing.
    EXPECT_TRUE(closeWindow(*window));
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(readBytes(path(QStringLiteral("A.sdf"))), stored);
}

// The same on a real small file system, where the tests may mount one.
TEST_F(frmMainFileFailuresTest, ARealFullAndReadOnlyFileSystem)
{
    const QString volume = path(QStringLiteral("volume"));
    QDir().mkpath(volume);
    const QByteArray folder = QFile::encodeName(volume);
    if (::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no right to mount a file system here";
    struct Unmount
    {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{folder};

    const QByteArray stored = manySongs(420);
    ASSERT_GT(stored.size(), 32 * 1024);
    const QString list = volume + QStringLiteral("/A.sdf");
    writeBytes(list, stored);
    ASSERT_EQ(readBytes(list), stored);
    PlayListDisk real;
    {
        auto window = startOn(real, volume);
        EXPECT_EQ(window->songs().rowCount(), 420);
        EXPECT_FALSE(QFile::exists(volume + QStringLiteral("/A.tmp")));
        EXPECT_TRUE(mentions(messageTexts(), QStringLiteral("'A'"), QStringLiteral("A.tmp")));
        window->mainActions().tbSavePlayList->trigger();
        EXPECT_EQ(readBytes(list), stored);
        EXPECT_TRUE(closeWindow(*window));
    }
    EXPECT_EQ(readBytes(list), stored);

    ASSERT_EQ(::mount("tmpfs", folder.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
    dialogs.messages.clear();
    auto window = startOn(real, volume);
    EXPECT_EQ(window->songs().rowCount(), 420);
    // Read-only from the start: the folder is named, no write is tried.
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(window->statusBar()->currentMessage().endsWith(QStringLiteral("it is read-only.")));
    EXPECT_TRUE(closeWindow(*window));
    EXPECT_EQ(readBytes(list), stored);
}

// A program folder that cannot be written: VORN shows the lists, says once
// why nothing can be changed, switches off what would write with that reason,
// and changes no file, at closing neither.
TEST_F(frmMainFileFailuresTest, AFolderThatCannotBeWrittenIsShownAndNamedButNeverChanged)
{
    for (const UnwritableKind &c : kUnwritableKinds) {
        SmallVolume volume(path(QString::fromLatin1(c.what)));
        if (!volume.mounted())
            GTEST_SKIP() << "no right to mount a file system here";
        const QByteArray stored = manySongs(20);
        writeBytes(volume.path() + QStringLiteral("/A.sdf"), stored);
        writeBytes(volume.path() + QStringLiteral("/B.sdf"), manySongs(2));
        writeBytes(volume.path() + QStringLiteral("/B.tmp"),
                   manySongs(3)); // a crash's unsaved work
        ASSERT_TRUE(volume.makeUnwritable(c));
        const QDir folder(volume.path());
        const QStringList files = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
        dialogs.messages.clear();

        PlayListDisk real;
        auto window = startOn(real, volume.path());
        EXPECT_EQ(window->songs().rowCount(), 20) << c.what;
        const QString reason =
            QStringLiteral("The play list folder %1 cannot be written: %2")
                .arg(QDir::toNativeSeparators(volume.path()), QLatin1String(c.reason));
        EXPECT_TRUE(dialogs.messages.empty()) << c.what;
        EXPECT_EQ(window->statusBar()->currentMessage(), reason) << c.what;
        const MainActions &actions = window->mainActions();
        for (QAction *action : {actions.tbAdd, actions.tbRemove, window->songActions().tbUp,
                                window->songActions().tbDown, actions.mnuPLNew, actions.mnuPLRename,
                                actions.mnuPLDelete, actions.tbSavePlayList, actions.mnuPLSaveAs}) {
            EXPECT_FALSE(action->isEnabled()) << c.what << action->objectName().toStdString();
            EXPECT_EQ(action->toolTip(), reason) << c.what << action->objectName().toStdString();
        }
        // The recovered list is shown with its unsaved songs; its copy stays.
        window->store().selectPlayList(1);
        window->commands().followLibrarySelection();
        EXPECT_EQ(window->songs().rowCount(), 3) << c.what;
        window->UpdateStatusBar();
        EXPECT_TRUE(dialogs.messages.empty()) << c.what;

        dialogs.answers = {DialogAnswer::No};
        EXPECT_TRUE(closeWindow(*window)) << c.what;
        EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name), files) << c.what;
        EXPECT_EQ(readBytes(volume.path() + QStringLiteral("/A.sdf")), stored) << c.what;
        EXPECT_EQ(readBytes(volume.path() + QStringLiteral("/B.tmp")), manySongs(3)) << c.what;
    }
}

// A disk that fills while VORN runs: Yes at closing cannot save, so VORN
// stays open with the change still in the window, and says why.
TEST_F(frmMainFileFailuresTest, YesAtClosingOnAFullDiskKeepsTheChangeAndVornOpen)
{
    SmallVolume volume(path(QStringLiteral("volume")));
    if (!volume.mounted())
        GTEST_SKIP() << "no right to mount a file system here";
    const QByteArray stored = manySongs(100);
    writeBytes(volume.path() + QStringLiteral("/A.sdf"), stored);
    PlayListDisk real;
    auto window = startOn(real, volume.path());
    ASSERT_EQ(window->songs().rowCount(), 100);
    volume.fill();
    window->songView().selectionModel()->select(window->songs().index(0, 0),
                                                QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    window->songActions().mnuSongsRemove->trigger();
    ASSERT_EQ(window->songs().rowCount(), 99);
    dialogs.messages.clear();

    dialogs.answers = {DialogAnswer::Yes};
    EXPECT_FALSE(closeWindow(*window));
    EXPECT_EQ(window->songs().rowCount(), 99);
    EXPECT_EQ(window->library().entry(0).tag, QStringLiteral("*"));
    ASSERT_FALSE(dialogs.messages.empty());
    const QString &said = dialogs.messages.back().text;
    EXPECT_TRUE(said.contains(QStringLiteral("(No space left on device)"))) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("VORN stays open"))) << said.toStdString();
    EXPECT_EQ(readBytes(volume.path() + QStringLiteral("/A.sdf")), stored);

    // Room again: the same Yes saves the change.
    QFile::remove(volume.path() + QStringLiteral("/filler"));
    dialogs.answers = {DialogAnswer::Yes};
    EXPECT_TRUE(closeWindow(*window));
    EXPECT_EQ(readBytes(volume.path() + QStringLiteral("/A.sdf")),
              stored.mid(stored.indexOf('\n') + 1));
}

// Every write that fails on a disk that filled up says the system's reason,
// never "Unknown error": the working copy, Save, Save As and the settings.
TEST_F(frmMainFileFailuresTest, EveryFailedWriteOnAFullDiskSaysWhy)
{
    SmallVolume volume(path(QStringLiteral("volume")));
    // The settings on a disk of their own: closing frees the lists' disk.
    SmallVolume settingsVolume(path(QStringLiteral("settings")));
    if (!volume.mounted() || !settingsVolume.mounted())
        GTEST_SKIP() << "no right to mount a file system here";
    writeBytes(volume.path() + QStringLiteral("/A.sdf"), manySongs(100));
    settings = std::make_unique<SettingsStore>(settingsVolume.path() + QStringLiteral("/VORN.ini"));
    PlayListDisk real;
    auto window = startOn(real, volume.path());
    ASSERT_EQ(window->songs().rowCount(), 100);
    // Some room left, so that writes fail part of the way, not at once.
    volume.fill(4096);
    settingsVolume.fill();
    const QString song = path(QStringLiteral("x.mid"));
    writeBytes(song, "x");

    struct Step
    {
        const char *what;
        std::function<void()> run;
    };
    const Step steps[] = {
        {"working copy",
         [&] {
             dialogs.fileAnswers = {{song}};
             window->mainActions().tbAdd->trigger();
         }},
        {"save", [&] { window->mainActions().tbSavePlayList->trigger(); }},
        {"save as",
         [&] {
             dialogs.promptAnswers = {QStringLiteral("Copy")};
             window->mainActions().tbbSaveAs->trigger();
         }},
        {"settings",
         [&] {
             dialogs.answers = {DialogAnswer::No, DialogAnswer::No};
             closeWindow(*window);
         }},
    };
    for (const Step &step : steps) {
        dialogs.messages.clear();
        step.run();
        ASSERT_FALSE(dialogs.messages.empty()) << step.what;
        const QString &said = dialogs.messages.back().text;
        EXPECT_TRUE(said.contains(QStringLiteral("No space left on device")))
            << step.what << ": " << said.toStdString();
        EXPECT_FALSE(said.contains(QStringLiteral("Unknown error"))) << step.what;
    }
}

} // namespace
