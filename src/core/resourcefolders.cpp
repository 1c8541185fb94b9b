#include "resourcefolders.h"

#include <QDir>
#include <QFileInfo>

#ifndef VORN_INSTALL_LIBRARY_FOLDER
#define VORN_INSTALL_LIBRARY_FOLDER "../lib/vorn"
#endif
#ifndef VORN_INSTALL_DATA_FOLDER
#define VORN_INSTALL_DATA_FOLDER "../share/vorn"
#endif

namespace ResourceFolders {

namespace {

QString below(const QString &folder, const QString &relative)
{
    return QDir::cleanPath(QDir(folder).absoluteFilePath(relative));
}

} // namespace

InstalledLayout installedLayout()
{
    return {QStringLiteral(VORN_INSTALL_LIBRARY_FOLDER), QStringLiteral(VORN_INSTALL_DATA_FOLDER)};
}

QStringList libraryFolders(const QString &programFolder, const InstalledLayout &layout)
{
    const QString installed = below(programFolder, layout.libraryFolder);
    QStringList folders{QDir::cleanPath(programFolder), installed};
    const QString parent = below(installed, QStringLiteral(".."));
    if (!folders.contains(parent))
        folders << parent;
    folders.removeDuplicates();
    return folders;
}

QString helpFolder(const QString &programFolder, const InstalledLayout &layout)
{
    const QString beside = below(programFolder, QStringLiteral("Help"));
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed =
        below(below(programFolder, layout.dataFolder), QStringLiteral("Help"));
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

} // namespace ResourceFolders
