#include "playliststore.h"

#include "core/userdialogs.h"
#include "playlistfile.h"
#include "playlistlibrarymodel.h"
#include "playlistname.h"
#include "songlistmodel.h"

#include <QDir>
#include <QFile>
#include <QItemSelectionModel>

namespace {

const QString kProgramName = QStringLiteral("VORN");

} // namespace

PlayListStore::PlayListStore(QString folder, PlayListLibraryModel &library,
                             QItemSelectionModel &librarySelection, SongListModel &songs,
                             UserDialogs &dialogs)
    : m_folder(std::move(folder))
    , m_library(library)
    , m_selection(librarySelection)
    , m_songs(songs)
    , m_dialogs(dialogs)
{}

void PlayListStore::setHooks(Hooks hooks)
{
    m_hooks = std::move(hooks);
}

QString PlayListStore::storedFile(const QString &name) const
{
    return m_folder + QLatin1Char('/') + name + QLatin1String(".sdf");
}

QString PlayListStore::workingCopy(const QString &name) const
{
    return m_folder + QLatin1Char('/') + name + QLatin1String(".tmp");
}

void PlayListStore::LoadPlayLists()
{
    if (m_hooks.setLibraryMultiSelection)
        m_hooks.setLibraryMultiSelection(false);

    // Sorted by name, so the library reads the same on every file system.
    const QFileInfoList files = QDir(m_folder).entryInfoList({QStringLiteral("*.sdf")}, QDir::Files,
                                                             QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &file : files) {
        const QString name = file.fileName().chopped(4);
        const QString shortcut =
            PlayListFile::readShortcutFolder(file.absoluteFilePath()).value_or(QString());
        m_library.addEntry({name, shortcut, QString()});
    }

    if (m_library.count() > 0) {
        selectPlayList(0);
        setShownPlayList(0);
        LoadPlayList(m_library.entry(0).name);
    }

    if (m_hooks.setLibraryMultiSelection)
        m_hooks.setLibraryMultiSelection(true);
    updateStatusBar();
}

void PlayListStore::LoadPlayList(const QString &name)
{
    if (m_hooks.enableSongEditing)
        m_hooks.enableSongEditing();

    m_songs.clear();
    const int row = m_library.findByName(name);
    setShownPlayList(row);

    const QString copy = workingCopy(name);
    if (!QFile::exists(copy))
        QFile::copy(storedFile(name), copy);

    setBusy(true);
    PlayListFile::Content content =
        PlayListFile::parse(PlayListFile::read(copy).value_or(QByteArray()));

    if (content.shortcutFolder) {
        // Keep the entry a shortcut even when the library did not know it as one,
        // so that the next refresh writes the folder back, not an empty list.
        if (row >= 0 && m_library.entry(row).shortcut.isEmpty())
            m_library.setShortcut(row, *content.shortcutFolder);
        if (m_hooks.loadShortcutPlayList) {
            setBusy(false);
            m_hooks.loadShortcutPlayList(*content.shortcutFolder);
            return;
        }
        // With no folder lister wired in, a shortcut play list shows no songs.
        updateStatusBar();
        setBusy(false);
        return;
    }

    if (m_hooks.assignIcons) {
        for (SongRow &song : content.songs)
            m_hooks.assignIcons(song);
    }
    m_songs.setRows(std::move(content.songs));
    updateStatusBar();
    setBusy(false);
}

void PlayListStore::SavePlayList(bool WorkingCopyOnly)
{
    int row = selectedPlayList();
    if (row < 0)
        return;

    QString name = m_library.entry(row).name;
    if (!WorkingCopyOnly && name.toLower() == QLatin1String("untitled")) {
        if (!promptForName(row, name))
            return;
        row = selectedPlayList();
        if (row < 0)
            return;
    }

    m_library.setName(row, name);
    const QString &shortcut = m_library.entry(row).shortcut;
    const QByteArray bytes = shortcut.isEmpty() ? PlayListFile::serialize(m_songs.rows())
                                                : PlayListFile::serializeShortcut(shortcut);
    const QString target = WorkingCopyOnly ? workingCopy(name) : storedFile(name);
    const bool written = PlayListFile::writeAtomically(target, bytes);

    if (WorkingCopyOnly)
        return;
    if (written) {
        m_library.setTag(row, QString());
        return;
    }
    // The modified mark stays, so the closing question still offers the save.
    m_dialogs.messageBox(kProgramName,
                         QStringLiteral("The Play List could not be saved to\n%1")
                             .arg(QDir::toNativeSeparators(target)),
                         DialogButtons::Ok, DialogIcon::Critical);
}

bool PlayListStore::promptForName(int row, QString &name)
{
    const QPersistentModelIndex saving = m_library.index(row, 0);
    for (;;) {
        const QString typed =
            m_dialogs.promptText(QStringLiteral("Save As"),
                                 QStringLiteral("Select a name for the Play List"), QString());
        if (!typed.isEmpty()) {
            if (!IsValidPlayListName(typed)) {
                m_dialogs.messageBox(kProgramName, invalidPlayListNameMessage(), DialogButtons::Ok,
                                     DialogIcon::None);
                continue;
            }
            name = typed;
        }
        if (!QFile::exists(storedFile(name)))
            return true;

        const DialogAnswer answer = askOverwrite();
        if (answer == DialogAnswer::Cancel)
            return false;
        if (answer != DialogAnswer::Yes)
            continue;

        // The stored file is replaced in one step by the save that follows. The
        // entry that owned it leaves the library, with its working copy, so that
        // no two entries share one name and one working copy.
        const int older = m_library.findByName(name, saving.row());
        if (older >= 0) {
            if (m_library.entry(older).name != m_library.entry(saving.row()).name)
                QFile::remove(workingCopy(m_library.entry(older).name));
            m_library.removeEntry(older);
        }
        return saving.isValid();
    }
}

DialogAnswer PlayListStore::askOverwrite()
{
    return m_dialogs.messageBox(
        QStringLiteral("Warning"),
        QStringLiteral("A Play List with the same name already exists, are you sure you "
                       "want to overwrite it?"),
        DialogButtons::YesNoCancel, DialogIcon::Question);
}

void PlayListStore::NewPlayList(const QString &name)
{
    m_songs.clear();
    m_selection.clearSelection();

    int untitled = 0;
    for (int row = 0; row < m_library.count(); ++row) {
        if (m_library.entry(row).name.left(8).toLower() == QLatin1String("untitled"))
            ++untitled;
    }

    QString entryName = name.isEmpty() ? QStringLiteral("Untitled") : name;
    if (entryName == QLatin1String("Untitled") && untitled > 0) {
        // Counting alone can repeat a name still in use (after a delete), and two
        // entries of one name would share one working copy: skip taken numbers.
        int number = untitled;
        while (m_library.findByName(QStringLiteral("Untitled %1").arg(number)) >= 0)
            ++number;
        entryName = QStringLiteral("Untitled %1").arg(number);
    }

    const int row = m_library.addEntry({entryName, QString(), QStringLiteral("*")});
    selectPlayList(row);
    setShownPlayList(row);
    updateStatusBar();
}

void PlayListStore::SetModifyedPLFlag()
{
    SavePlayList(true);
    const int row = selectedPlayList();
    if (row >= 0)
        m_library.setTag(row, QStringLiteral("*"));
}

bool PlayListStore::QuerySaveChanges()
{
    if (m_hooks.setLibraryMultiSelection)
        m_hooks.setLibraryMultiSelection(false);

    bool cancelled = false;
    int row = 0;
    while (row < m_library.count()) {
        const PlayListEntry &entry = m_library.entry(row);
        if (entry.tag.isEmpty()) {
            ++row;
            continue;
        }
        const DialogAnswer answer = m_dialogs.messageBox(
            kProgramName, QStringLiteral("Do you want to save changes for the '") + entry.name,
            DialogButtons::YesNoCancel, DialogIcon::Question);
        if (answer == DialogAnswer::Cancel) {
            cancelled = true;
            break;
        }
        if (answer == DialogAnswer::Yes) {
            const QString name = entry.name;
            selectPlayList(row);
            LoadPlayList(name);
            SavePlayList(false);
            row = 0;
        } else {
            m_library.setTag(row, QString());
            ++row;
        }
    }

    if (m_hooks.setLibraryMultiSelection)
        m_hooks.setLibraryMultiSelection(true);
    return cancelled;
}

void PlayListStore::DeleteWorkingCopies()
{
    QDir dir(m_folder);
    const QStringList copies = dir.entryList({QStringLiteral("*.tmp")}, QDir::Files);
    for (const QString &copy : copies)
        dir.remove(copy);
}

int PlayListStore::selectedPlayList() const
{
    const QModelIndex current = m_selection.currentIndex();
    if (current.isValid() && m_selection.isRowSelected(current.row()))
        return current.row();
    const QModelIndexList rows = m_selection.selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void PlayListStore::selectPlayList(int row)
{
    m_selection.setCurrentIndex(m_library.index(row, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int PlayListStore::ShownPlayList() const
{
    return m_shown.isValid() ? m_shown.row() : -1;
}

void PlayListStore::setShownPlayList(int row)
{
    m_shown = row >= 0 ? QPersistentModelIndex(m_library.index(row, 0)) : QPersistentModelIndex();
}

void PlayListStore::setBusy(bool busy)
{
    if (m_hooks.setBusy)
        m_hooks.setBusy(busy);
}

void PlayListStore::updateStatusBar()
{
    if (m_hooks.updateStatusBar)
        m_hooks.updateStatusBar();
}
