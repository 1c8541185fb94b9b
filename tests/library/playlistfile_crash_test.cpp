#include "library/playlistfile.h"
#include "support/playlistfiles.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The stored form of a list of `count` songs, built straight as bytes: the
// save, not the building of rows, is under test.
QByteArray bigList(const QByteArray &tag, int count)
{
    QByteArray bytes;
    bytes.reserve(count * 64);
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        bytes += tag + " song " + n +
                 "\xFF"
                 "Artist\xFF\xFF\xFF"
                 "03:25\xFF/music/" +
                 tag + '/' + n + ".mp3\xFF\r\n";
    }
    return bytes;
}

} // namespace

// A VORN killed at any moment of a save (power cut, kill -9) leaves the stored
// play list as it was before the save or as the save meant it, never a part.
TEST(PlayListFileCrash, AKillDuringASaveLeavesTheOldOrTheNewFileWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Shop.sdf"));
    const QByteArray before = bigList("before", 100000);
    const QByteArray after = bigList("after", 100000);
    ASSERT_NE(before.size(), after.size());

    int interrupted = 0;
    QRandomGenerator random(20261207);
    for (int round = 0; round < 50; ++round) {
        writeBytes(path, before);
        int marks[2];
        ASSERT_EQ(pipe(marks), 0);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            // Saves the new list over and over until it is killed, marking
            // the start ('S') and the end ('E') of every save.
            close(marks[0]);
            for (;;) {
                if (write(marks[1], "S", 1) != 1)
                    _exit(1);
                PlayListFile::writeAtomically(path, after);
                if (write(marks[1], "E", 1) != 1)
                    _exit(1);
            }
        }
        close(marks[1]);
        // The child does nothing but save, so nearly any moment lands inside
        // a save; which one is the test's input, and any must give a whole file.
        const long delayNs = static_cast<long>(random.bounded(150)) * 1000000L;
        const timespec delay{delayNs / 1000000000L, delayNs % 1000000000L};
        nanosleep(&delay, nullptr);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));

        const QByteArray stored = readBytes(path);
        ASSERT_TRUE(stored == before || stored == after)
            << "round " << round << ": " << stored.size() << " bytes, neither the old ("
            << before.size() << ") nor the new (" << after.size() << ") list";
        // The last mark says whether the kill cut a save short.
        char last = 0;
        char mark = 0;
        while (read(marks[0], &mark, 1) == 1)
            last = mark;
        close(marks[0]);
        if (last == 'S')
            ++interrupted;
    }
    EXPECT_GT(interrupted, 25);
}
