#include "library/backgroundwriter.h"
#include "library/playlistdisk.h"
#include "library/playlistfile.h"
#include "support/librarystack.h"
#include "support/playlistfiles.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <system_error>
#include <thread>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Holds every write at a gate until the test opens it, and records the
// writes in the order they were done. A gate left shut opens by itself after
// ten seconds, so that a faulty test ends instead of hanging.
class Gate
{
public:
    ~Gate() { openAfter(0ms); }

    void pass(const QString &what)
    {
        std::unique_lock lock(m_mutex);
        ++m_arrived;
        ++m_waiting;
        m_changed.notify_all();
        m_changed.wait_for(lock, 10s, [this] { return m_open; });
        --m_waiting;
        m_passed << what;
    }

    void shut()
    {
        const std::lock_guard lock(m_mutex);
        m_open = false;
    }

    void open()
    {
        const std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

    // Opens the gate from another thread once a write waits at it and `delay`
    // has passed: the test's thread meanwhile runs into the step that must
    // wait for the write. Should the step come late, it only finds the write
    // done, and the test still holds.
    void openAfter(std::chrono::milliseconds delay)
    {
        if (m_opener.joinable())
            m_opener.join();
        if (delay == 0ms)
            return;
        m_opener = std::thread([this, delay] {
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait_for(lock, 10s, [this] { return m_waiting > 0; });
            }
            std::this_thread::sleep_for(delay);
            open();
        });
    }

    int arrivals() const
    {
        const std::lock_guard lock(m_mutex);
        return m_arrived;
    }

    bool waitForArrivals(int count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [&] { return m_arrived >= count; });
    }

    QStringList passed() const
    {
        const std::lock_guard lock(m_mutex);
        return m_passed;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = true;
    int m_arrived = 0;
    int m_waiting = 0;
    QStringList m_passed;
    std::thread m_opener;
};

TEST(BackgroundWriter, AWaitingWriteIsReplacedByTheNewestOfItsFileAndEveryWriteDoneIsReported)
{
    QTemporaryDir dir;
    Gate gate;
    PlayListDisk disk;
    BackgroundWriter writer;
    QSignalSpy reports(&writer, &BackgroundWriter::finished);
    const auto gated = [&](const QString &path, const QByteArray &bytes, QString &error) {
        gate.pass(QFileInfo(path).fileName() + QLatin1Char('=') + QString::fromUtf8(bytes));
        if (bytes == "full") {
            error = QStringLiteral("No space left on device");
            return false;
        }
        return disk.writeScratch(path, bytes, error);
    };
    const QString a = dir.filePath(QStringLiteral("A.tmp"));
    const QString b = dir.filePath(QStringLiteral("B.tmp"));

    gate.shut();
    writer.post(a, "a1", gated);
    ASSERT_TRUE(gate.waitForArrivals(1));
    writer.post(a, "a2", gated);
    writer.post(b, "b1", gated);
    writer.post(a, "a3", gated);
    EXPECT_TRUE(writer.isPending(a));
    EXPECT_TRUE(writer.isPending(b));
    gate.open();
    writer.waitForDone();

    // a2 never reached the disk: a3 took its place in the queue.
    EXPECT_EQ(gate.passed(), (QStringList{"A.tmp=a1", "A.tmp=a3", "B.tmp=b1"}));
    EXPECT_EQ(readBytes(a), "a3");
    EXPECT_EQ(readBytes(b), "b1");
    EXPECT_FALSE(writer.isPending(b));
    EXPECT_FALSE(writer.isPending(a));
    ASSERT_EQ(reports.size(), 3);
    EXPECT_EQ(reports[0], (QVariantList{a, true, QString()}));
    EXPECT_EQ(reports[1], (QVariantList{a, true, QString()}));
    EXPECT_EQ(reports[2], (QVariantList{b, true, QString()}));

    // A failure comes back with its reason through the event loop alone.
    reports.clear();
    writer.post(b, "full", gated);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reports.size() == 1; }, 10000));
    EXPECT_EQ(reports[0], (QVariantList{b, false, QStringLiteral("No space left on device")}));
    EXPECT_EQ(readBytes(b), "b1");
}

TEST(BackgroundWriter, WritesStillPostedAreDoneBeforeTheWriterGoes)
{
    QTemporaryDir dir;
    PlayListDisk disk;
    const QString file = dir.filePath(QStringLiteral("C.tmp"));
    {
        BackgroundWriter writer;
        for (int i = 0; i < 50; ++i) {
            writer.post(dir.filePath(QStringLiteral("%1.tmp").arg(i)), QByteArray::number(i),
                        [&](const QString &path, const QByteArray &bytes, QString &error) {
                            return disk.writeScratch(path, bytes, error);
                        });
        }
    }
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("%1.tmp").arg(i))), QByteArray::number(i));
}

// With no thread to be had, each write is done on the caller's thread before
// post returns, failures too; once a thread can be started again, writes go
// back to it.
TEST(BackgroundWriter, WithoutAThreadEachWriteIsDoneAndReportedAtOnce)
{
    QTemporaryDir dir;
    PlayListDisk disk;
    int starts = 0;
    bool threadsLeft = false;
    BackgroundWriter writer(nullptr, [&](std::function<void()> body) {
        ++starts;
        if (!threadsLeft)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::thread(std::move(body));
    });
    QSignalSpy reports(&writer, &BackgroundWriter::finished);
    std::thread::id writtenOn;
    const auto write = [&](const QString &path, const QByteArray &bytes, QString &error) {
        writtenOn = std::this_thread::get_id();
        if (bytes == "full") {
            error = QStringLiteral("No space left on device");
            return false;
        }
        return disk.writeScratch(path, bytes, error);
    };
    const QString a = dir.filePath(QStringLiteral("A.tmp"));

    writer.post(a, "a1", write);
    EXPECT_EQ(writtenOn, std::this_thread::get_id());
    EXPECT_EQ(readBytes(a), "a1");
    EXPECT_FALSE(writer.isPending(a));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0], (QVariantList{a, true, QString()}));

    writer.post(a, "full", write);
    ASSERT_EQ(reports.size(), 2);
    EXPECT_EQ(reports[1], (QVariantList{a, false, QStringLiteral("No space left on device")}));
    EXPECT_EQ(readBytes(a), "a1");
    EXPECT_EQ(starts, 2);

    threadsLeft = true;
    writer.post(a, "a2", write);
    writer.waitForDone();
    EXPECT_NE(writtenOn, std::this_thread::get_id());
    EXPECT_EQ(readBytes(a), "a2");
    ASSERT_EQ(reports.size(), 3);
    EXPECT_EQ(reports[2], (QVariantList{a, true, QString()}));
    EXPECT_EQ(starts, 3);
}

// The real disk behind a gate, able to fail scratch writes.
class GatedDisk final : public PlayListDisk
{
public:
    bool writeScratch(const QString &path, const QByteArray &bytes, QString &error) override
    {
        gate.pass(QFileInfo(path).fileName());
        if (failing) {
            error = QStringLiteral("No space left on device");
            return false;
        }
        return PlayListDisk::writeScratch(path, bytes, error);
    }

    Gate gate;
    std::atomic<bool> failing = false;
};

struct DiskHolder
{
    GatedDisk disk;
};

// The library as the window wires it, with every working copy written by the
// worker thread through a gated disk. The disk outlives the store.
class BackgroundWritesTest : public ::testing::Test, protected DiskHolder, protected LibraryStack
{
protected:
    BackgroundWritesTest()
    {
        store.setDisk(&disk);
        store.setBackgroundWriteThreshold(0);
        writeBytes(dir.filePath(QStringLiteral("Pop.sdf")),
                   storedLine({"P1", "", "", "", "02:00", "/m/p1.mp3"}));
        writeBytes(dir.filePath(QStringLiteral("Rock.sdf")),
                   storedLine({"R1", "Band", "", "", "03:00", "/m/r1.mp3"}) +
                       storedLine({"R2", "", "", "", "04:00", "/m/r2.mp3"}));
        store.LoadPlayLists();
        // Both lists get their working copies before any write is held.
        showList(QStringLiteral("Pop"));
        showList(QStringLiteral("Rock"));
        store.finishWrites();
    }

    ~BackgroundWritesTest() override
    {
        disk.gate.open();
        store.finishWrites();
        store.setDisk(nullptr);
    }

    // A click on the play list in the library.
    void showList(const QString &name)
    {
        const int row = library.findByName(name);
        store.selectPlayList(row);
        commands.lvPlayLists_MouseDown();
        commands.lvPlayLists_MouseUp(Qt::LeftButton, row);
    }

    void addSong(const QString &title)
    {
        songs.appendRow(songRow(title, {}, QStringLiteral("03:00"), QStringLiteral("/m/") + title));
        store.SetModifyedPLFlag();
    }

    QByteArray copyOf(const QString &name) const
    {
        return readBytes(dir.filePath(name + QStringLiteral(".tmp")));
    }
};

TEST_F(BackgroundWritesTest, TheWindowGoesOnWhileTheDiskWritesAndTheCopyEndsAsTheListShown)
{
    const QByteArray before = copyOf(QStringLiteral("Rock"));
    const qsizetype writesBefore = disk.gate.passed().count(QStringLiteral("Rock.tmp"));
    const int arrivals = disk.gate.arrivals();
    disk.gate.shut();
    addSong(QStringLiteral("N1"));
    ASSERT_TRUE(disk.gate.waitForArrivals(arrivals + 1));

    // The disk holds the first write; every change after it returns at once.
    addSong(QStringLiteral("N2"));
    songs.removeRowsAt({0});
    songs.sort(chTitle, Qt::DescendingOrder);
    store.SetModifyedPLFlag();
    addSong(QStringLiteral("N3"));
    EXPECT_EQ(copyOf(QStringLiteral("Rock")), before);

    disk.gate.open();
    store.finishWrites();
    EXPECT_EQ(copyOf(QStringLiteral("Rock")), PlayListFile::serialize(songs.rows()));
    // The held write and the newest one; the ones between never reached the disk.
    EXPECT_EQ(disk.gate.passed().count(QStringLiteral("Rock.tmp")), writesBefore + 2);

    // Shown again while its last write is still held, the list is the one written.
    disk.gate.shut();
    addSong(QStringLiteral("N4"));
    const std::vector<SongRow> shown = songs.rows();
    showList(QStringLiteral("Pop"));
    disk.gate.openAfter(30ms);
    showList(QStringLiteral("Rock"));
    EXPECT_EQ(PlayListFile::serialize(songs.rows()), PlayListFile::serialize(shown));
    EXPECT_EQ(copyOf(QStringLiteral("Rock")), PlayListFile::serialize(shown));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(BackgroundWritesTest, ADeletedOrRenamedPlayListLeavesNoCopyForALateWriteToBringBack)
{
    disk.gate.shut();
    addSong(QStringLiteral("N1"));
    disk.gate.openAfter(30ms);
    commands.lvPlayLists_AfterLabelEdit(library.findByName(QStringLiteral("Rock")),
                                        QStringLiteral("Jazz"));
    store.finishWrites();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("Rock.tmp"))));
    EXPECT_EQ(copyOf(QStringLiteral("Jazz")), PlayListFile::serialize(songs.rows()));

    disk.gate.shut();
    addSong(QStringLiteral("N2"));
    disk.gate.openAfter(30ms);
    store.selectPlayList(library.findByName(QStringLiteral("Jazz")));
    commands.mnuPLDelete_Click();
    store.finishWrites();
    QCoreApplication::processEvents();
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("Jazz*")}, QDir::Files), QStringList());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(BackgroundWritesTest, AFailedWriteIsToldOnceAndAgainOnlyAfterAWriteSucceeded)
{
    disk.failing = true;
    addSong(QStringLiteral("N1"));
    // The report comes from the event loop, after the worker's failure.
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.messages.size() == 1; }, 10000));
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("The changes to the Play List 'Rock' cannot be kept: its working "
                             "copy\n%1\ncould not be written (No space left on device).")
                  .arg(QDir::toNativeSeparators(dir.filePath(QStringLiteral("Rock.tmp")))));
    EXPECT_EQ(dialogs.messages[0].icon, DialogIcon::Warning);

    addSong(QStringLiteral("N2"));
    store.finishWrites();
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // A refresh with no change writes again, since the last write failed.
    disk.failing = false;
    store.SavePlayList(true);
    store.finishWrites();
    EXPECT_EQ(copyOf(QStringLiteral("Rock")), PlayListFile::serialize(songs.rows()));

    disk.failing = true;
    addSong(QStringLiteral("N3"));
    store.finishWrites();
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

} // namespace

namespace {

// The real disk that holds every large scratch write until a small one of the
// same file was done (or, when none comes, a fifth of a second has passed),
// so that a small write the store failed to order after the large one is
// always overtaken by it.
class HeldLargeWrites final : public PlayListDisk
{
public:
    explicit HeldLargeWrites(qsizetype largeFrom)
        : m_largeFrom(largeFrom)
    {}

    bool writeScratch(const QString &path, const QByteArray &bytes, QString &error) override
    {
        if (bytes.size() < m_largeFrom) {
            const bool written = PlayListDisk::writeScratch(path, bytes, error);
            const std::lock_guard lock(m_mutex);
            m_smallDone = true;
            m_changed.notify_all();
            return written;
        }
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait_for(lock, 200ms, [this] { return m_smallDone; });
        }
        return PlayListDisk::writeScratch(path, bytes, error);
    }

private:
    const qsizetype m_largeFrom;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_smallDone = false;
};

TEST(BackgroundWrites, ANewerSmallWorkingCopyWinsOverAnOlderLargeOneStillBeingWritten)
{
    HeldLargeWrites disk(4096); // outlives the store's writes
    LibraryStack stack;
    stack.store.setDisk(&disk);
    stack.store.setBackgroundWriteThreshold(4096);
    stack.commands.mnuPLNew_Click();
    for (int i = 0; i < 200; ++i)
        stack.songs.appendRow(songRow(QStringLiteral("Song %1").arg(i), {}, QStringLiteral("03:00"),
                                      QStringLiteral("/m/%1.mp3").arg(i)));
    stack.store.SetModifyedPLFlag(); // large: on its way, held
    std::vector<int> rest(199);
    std::iota(rest.begin(), rest.end(), 1);
    stack.songs.removeRowsAt(rest);
    ASSERT_EQ(stack.songs.rowCount(), 1);
    stack.store.SetModifyedPLFlag(); // small: written at once
    stack.store.finishWrites();
    EXPECT_EQ(readBytes(stack.dir.filePath(QStringLiteral("Untitled.tmp"))),
              PlayListFile::serialize(stack.songs.rows()));
    stack.store.setDisk(nullptr);
}

} // namespace
