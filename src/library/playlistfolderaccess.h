#pragma once

#include <QString>

// Whether VORN can write into its program folder, and if not, why, in the
// words the user reads. A folder that cannot be written still shows and plays
// its play lists; only what would write is refused.
namespace PlayListFolderAccess {

// Empty when a new file can be created and written in `folder`; otherwise
// "The play list folder FOLDER cannot be written: REASON". The probe leaves
// no file behind.
QString writeProblem(const QString &folder);

// The text for a write into `folder` that failed with the system's error
// number `errorNumber`: "the disk is full.", "it is read-only." or the
// system's own reason.
QString problemText(const QString &folder, int errorNumber);

} // namespace PlayListFolderAccess
