#pragma once

#include <QString>
#include <QStringList>

// Where the program's own files are, found from the folder of the program.
// In the build tree they sit beside the program; installed, the program is in
// bin/ and its library and data folders are reached from there by the
// relative paths the build compiled in (../lib/vorn and ../share/vorn by
// default). Nothing here depends on the working folder or on the prefix the
// package was installed to.
namespace ResourceFolders {

struct InstalledLayout
{
    QString libraryFolder; // relative to the program's folder
    QString dataFolder;    // relative to the program's folder
};

// The layout this build installs.
InstalledLayout installedLayout();

// The folders the VU library is looked for in, in this order: beside the
// program, the installed library folder, the installed library folder's
// parent.
QStringList libraryFolders(const QString &programFolder,
                           const InstalledLayout &layout = installedLayout());

// The Help folder: the one beside the program when it exists, else the
// installed one when that exists, else the one beside the program (which a
// caller then reports missing).
QString helpFolder(const QString &programFolder, const InstalledLayout &layout = installedLayout());

} // namespace ResourceFolders
