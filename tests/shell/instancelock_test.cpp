#include "shell/instancelock.h"
#include "support/playlistfiles.h"
#include "support/scripteddialogs.h"

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

} // namespace
