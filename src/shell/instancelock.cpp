#include "instancelock.h"

#include "core/userdialogs.h"
#include "library/playlistfolderaccess.h"

#include <QDir>
#include <QLockFile>

InstanceLock::InstanceLock(QString programFolder)
    : m_folder(std::move(programFolder))
    , m_lock(std::make_unique<QLockFile>(QDir(m_folder).filePath(QStringLiteral("VORN.lock"))))
{
    // A VORN runs for days: only a lock whose owner process is gone is stale,
    // never one that is merely old.
    m_lock->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::acquire(UserDialogs &dialogs)
{
    if (m_lock->isLocked() || m_lock->tryLock(0))
        return true;
    // A folder that cannot be written cannot hold a lock either (nor remove a
    // stale one). No other VORN can write there, so nothing is lost by
    // starting: this one shows and plays the lists and writes nothing.
    if (!PlayListFolderAccess::writeProblem(m_folder).isEmpty())
        return true;
    dialogs.messageBox(QStringLiteral("VORN"), alreadyRunningMessage(m_folder), DialogButtons::Ok,
                       DialogIcon::Information);
    return false;
}

QString InstanceLock::alreadyRunningMessage(const QString &programFolder)
{
    return QStringLiteral("VORN is already running with the play lists in %1.")
        .arg(QDir::toNativeSeparators(programFolder));
}
