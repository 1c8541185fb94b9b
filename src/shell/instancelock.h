#pragma once

#include <QString>

#include <memory>

class QLockFile;
class UserDialogs;

// One VORN per program folder: two would delete each other's working copies
// and share one player. The lock is a file in the program folder; a lock left
// by a VORN that ended without releasing it (a crash) is taken over.
class InstanceLock
{
public:
    explicit InstanceLock(QString programFolder);
    ~InstanceLock();

    // True when this VORN now owns the folder, or when the folder cannot be
    // written at all (read-only, full), so that no VORN can change it.
    // Otherwise tells the user that another VORN uses it; nothing in the
    // folder is touched.
    bool acquire(UserDialogs &dialogs);

    // "VORN is already running with the play lists in FOLDER."
    static QString alreadyRunningMessage(const QString &programFolder);

private:
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
};
