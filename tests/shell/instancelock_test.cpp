#include "library/playlistfolderaccess.h"
#include "shell/instancelock.h"
#include "support/playlistfiles.h"
#include "support/scripteddialogs.h"
#include "support/smallvolume.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(InstanceLock, ASecondVornOnTheSameFolderIsToldAndTouchesNothing)
{
    QTemporaryDir folder;
    const QByteArray work = "unsaved work\r\n";
    writeBytes(folder.filePath(QStringLiteral("A.tmp")), work);
    ScriptedDialogs firstDialogs;
    ScriptedDialogs secondDialogs;

    InstanceLock first(folder.path());
    ASSERT_TRUE(first.acquire(firstDialogs));
    EXPECT_TRUE(firstDialogs.messages.empty());

    InstanceLock second(folder.path());
    EXPECT_FALSE(second.acquire(secondDialogs));
    ASSERT_EQ(secondDialogs.messages.size(), 1u);
    EXPECT_EQ(secondDialogs.messages[0].text,
              QStringLiteral("VORN is already running with the play lists in %1.")
                  .arg(QDir::toNativeSeparators(folder.path())));
    EXPECT_EQ(readBytes(folder.filePath(QStringLiteral("A.tmp"))), work);

    // Another folder is another VORN's.
    QTemporaryDir other;
    InstanceLock elsewhere(other.path());
    EXPECT_TRUE(elsewhere.acquire(secondDialogs));
    EXPECT_EQ(secondDialogs.messages.size(), 1u);
}

TEST(InstanceLock, TheLockOfAVornThatCrashedIsTakenOver)
{
    QTemporaryDir folder;
    {
        InstanceLock probe(folder.path());
        ScriptedDialogs dialogs;
        ASSERT_TRUE(probe.acquire(dialogs));
    }
    // A process that takes the lock and dies without giving it back.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile lock(QDir(folder.path()).filePath(QStringLiteral("VORN.lock")));
        _exit(lock.tryLock(0) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("VORN.lock"))));

    ScriptedDialogs dialogs;
    InstanceLock next(folder.path());
    EXPECT_TRUE(next.acquire(dialogs));
    EXPECT_TRUE(dialogs.messages.empty());
}

// A folder that cannot be written holds no lock, so no lock tells whether
// another VORN runs; none could change the folder either. VORN starts there,
// says nothing about another VORN, and changes no file (a lock left by a
// crash included).
TEST(InstanceLock, AFolderThatCannotBeWrittenIsNoReasonNotToStart)
{
    struct Case
    {
        const char *what;
        bool readOnly;
        bool staleLock;
        const char *reason;
    };
    const Case cases[] = {
        {"read-only", true, false, "it is read-only."},
        {"read-only with a lock left by a crash", true, true, "it is read-only."},
        {"full", false, false, "the disk is full."},
    };
    for (const Case &c : cases) {
        QTemporaryDir top;
        SmallVolume volume(top.filePath(QStringLiteral("v")));
        if (!volume.mounted())
            GTEST_SKIP() << "no right to mount a file system here";
        const QString folder = volume.path();
        writeBytes(QDir(folder).filePath(QStringLiteral("A.sdf")), "a\xFF\r\n");
        if (c.staleLock)
            writeBytes(QDir(folder).filePath(QStringLiteral("VORN.lock")),
                       "999999\nVORN\nnohost\n");
        if (c.readOnly)
            ASSERT_TRUE(volume.makeReadOnly());
        else
            volume.fill();
        const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);

        EXPECT_EQ(PlayListFolderAccess::writeProblem(folder),
                  QStringLiteral("The play list folder %1 cannot be written: %2")
                      .arg(QDir::toNativeSeparators(folder), QLatin1String(c.reason)))
            << c.what;
        ScriptedDialogs dialogs;
        InstanceLock lock(folder);
        EXPECT_TRUE(lock.acquire(dialogs)) << c.what;
        EXPECT_TRUE(dialogs.messages.empty()) << c.what;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name), before) << c.what;
        EXPECT_EQ(readBytes(QDir(folder).filePath(QStringLiteral("A.sdf"))), "a\xFF\r\n") << c.what;
    }
}

} // namespace
