#include "library/playlistdisk.h"
#include "library/playliststore.h"
#include "library/songlistmodel.h"
#include "shell/mainactions.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QDir>

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

    // Songs added to it and a save leave its file alone, and say so.
    const QString song = path(QStringLiteral("x.mid"));
    writeBytes(song, "x");
    dialogs.fileAnswers = {{song}};
    window->mainActions().tbAdd->trigger();
    window->mainActions().tbSavePlayList->trigger();
    EXPECT_TRUE(dialogs.messages.back().text.contains(QStringLiteral("not saved")));
    EXPECT_EQ(readBytes(path(QStringLiteral("A.sdf"))), stored);
    EXPECT_FALSE(exists(QStringLiteral("A.tmp")));

    // Yes at closing cannot save it: VORN stays open rather than drop the changes.
    dialogs.answers = {DialogAnswer::Yes};
    EXPECT_FALSE(closeWindow(*window));
    dialogs.answers = {DialogAnswer::No};
    EXPECT_TRUE(closeWindow(*window));
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
    EXPECT_TRUE(mentions(messageTexts(), QStringLiteral("'A'"), QStringLiteral("A.tmp")));
    EXPECT_TRUE(closeWindow(*window));
    EXPECT_EQ(readBytes(list), stored);
}

} // namespace
