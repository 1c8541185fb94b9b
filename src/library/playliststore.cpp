#include "playliststore.h"

#include "core/freedmemory.h"

#include "backgroundwriter.h"
#include "core/userdialogs.h"
#include "playlistdisk.h"
#include "playlistfile.h"
#include "playlistfolderaccess.h"
#include "playlistlibrarymodel.h"
#include "playlistname.h"
#include "songlistmodel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QRegularExpression>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace {

const QString kProgramName = QStringLiteral("VORN");

// The working copy's extension spelt in the stored file's letter case
// (".sdf" gives ".tmp", ".SDF" gives ".TMP"), so that two stored files that
// differ only in case keep two working copies.
QString workingCopyExtension(const QString &storedExtension)
{
    static const QString stored = QStringLiteral(".sdf");
    static const QString copy = QStringLiteral(".tmp");
    QString out = copy;
    for (qsizetype i = 1; i < out.size() && i < storedExtension.size(); ++i) {
        if (storedExtension[i].isUpper() && stored[i] == storedExtension[i].toLower())
            out[i] = out[i].toUpper();
    }
    return out;
}

// The stored file's extension for a working copy's, the inverse of the above.
QString storedExtension(const QString &copyExtension)
{
    static const QString stored = QStringLiteral(".sdf");
    static const QString copy = QStringLiteral(".tmp");
    QString out = stored;
    for (qsizetype i = 1; i < out.size() && i < copyExtension.size(); ++i) {
        if (copyExtension[i].isUpper() && copy[i] == copyExtension[i].toLower())
            out[i] = out[i].toUpper();
    }
    return out;
}

const QStringList kWorkingCopyPattern{QStringLiteral("*.tmp")};

// The temporary name under which the writer makes a working copy before it
// renames it into place: the copy's name and six letters or digits.
const QRegularExpression kWriterLeftover(QStringLiteral("^.+\\.tmp\\.[A-Za-z0-9]{6}$"),
                                         QRegularExpression::CaseInsensitiveOption);

// True when the two files hold the same songs (or the same shortcut), however
// their lines end and whichever text encoding they use: a working copy is
// always written in the program's own form, a stored file may not be.
bool sameContent(const QByteArray &a, const QByteArray &b)
{
    if (a == b)
        return true;
    const PlayListFile::Content left = PlayListFile::parse(a);
    const PlayListFile::Content right = PlayListFile::parse(b);
    if (left.shortcutFolder || right.shortcutFolder)
        return left.shortcutFolder == right.shortcutFolder;
    return PlayListFile::serialize(left.songs) == PlayListFile::serialize(right.songs);
}

} // namespace

PlayListStore::PlayListStore(QString folder, PlayListLibraryModel &library,
                             QItemSelectionModel &librarySelection, SongListModel &songs,
                             UserDialogs &dialogs)
    : m_folder(std::move(folder))
    , m_library(library)
    , m_selection(librarySelection)
    , m_songs(songs)
    , m_dialogs(dialogs)
    , m_realDisk(std::make_unique<PlayListDisk>())
    , m_disk(m_realDisk.get())
    , m_writer(std::make_unique<BackgroundWriter>())
{
    QObject::connect(m_writer.get(), &BackgroundWriter::finished, m_writer.get(),
                     [this](const QString &path, bool written, const QString &error) {
                         workingCopyWritten(path, written, error);
                     });
}

// The writer finishes the writes still posted before it goes.
PlayListStore::~PlayListStore() = default;

void PlayListStore::finishWrites()
{
    m_writer->waitForDone();
}

void PlayListStore::setHooks(Hooks hooks)
{
    m_hooks = std::move(hooks);
}

void PlayListStore::setDisk(PlayListDisk *disk)
{
    finishWrites();
    m_disk = disk ? disk : m_realDisk.get();
    m_written.reset();
}

QString PlayListStore::storedFile(const QString &name) const
{
    return m_folder + QLatin1Char('/') + name + QLatin1String(".sdf");
}

QString PlayListStore::workingCopy(const QString &name) const
{
    return m_folder + QLatin1Char('/') + name + QLatin1String(".tmp");
}

QString PlayListStore::storedFileOf(int row) const
{
    const PlayListEntry &entry = m_library.entry(row);
    return m_folder + QLatin1Char('/') + entry.name + entry.extension;
}

QString PlayListStore::workingCopyOf(int row) const
{
    const PlayListEntry &entry = m_library.entry(row);
    return m_folder + QLatin1Char('/') + entry.name + workingCopyExtension(entry.extension);
}

void PlayListStore::LoadPlayLists()
{
    if (m_hooks.setLibraryMultiSelection)
        m_hooks.setLibraryMultiSelection(false);

    struct Found
    {
        PlayListEntry entry;
        QString shortcutSource; // the file whose first lines may name a folder
    };
    std::vector<Found> found;
    const QDir dir(m_folder);
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.sdf")}, QDir::Files);
    for (const QFileInfo &file : files) {
        const QString name = file.fileName().chopped(4);
        const QString extension = file.fileName().right(4);
        const bool recovered = m_recovered.contains(name + workingCopyExtension(extension));
        found.push_back({{name, QString(), recovered ? QStringLiteral("*") : QString(), extension},
                         file.absoluteFilePath()});
    }
    // Recovered working copies whose stored file is gone come back under their
    // own name; the shortcut folder, if any, is in the copy itself.
    for (const QString &copy : m_recovered) {
        const QString extension = storedExtension(copy.right(4));
        const QString name = copy.chopped(4);
        if (!QFile::exists(dir.filePath(name + extension)))
            found.push_back(
                {{name, QString(), QStringLiteral("*"), extension}, dir.filePath(copy)});
    }
    // Sorted by name, so the library reads the same on every file system.
    std::stable_sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return QString::compare(a.entry.name + a.entry.extension, b.entry.name + b.entry.extension,
                                Qt::CaseInsensitive) < 0;
    });
    for (Found &item : found) {
        item.entry.shortcut =
            PlayListFile::readShortcutFolder(item.shortcutSource).value_or(QString());
        m_library.addEntry(item.entry);
    }

    if (m_library.count() > 0) {
        selectPlayList(0);
        setShownPlayList(0);
        loadPlayListAt(0, true);
    }

    if (m_hooks.setLibraryMultiSelection)
        m_hooks.setLibraryMultiSelection(true);
    updateStatusBar();
}

void PlayListStore::LoadPlayList(const QString &name)
{
    const int row = m_library.findByName(name);
    if (row >= 0) {
        loadPlayListAt(row);
        return;
    }
    // A name the library does not hold shows no songs.
    if (m_hooks.enableSongEditing)
        m_hooks.enableSongEditing();
    m_songs.clear();
    setShownPlayList(-1);
    updateStatusBar();
}

void PlayListStore::loadPlayListAt(int row, bool aside)
{
    if (m_hooks.enableSongEditing)
        m_hooks.enableSongEditing();

    m_songs.clear();
    setShownPlayList(row);
    const QModelIndex entry = m_library.index(row, 0);
    const QString name = m_library.entry(row).name;
    const QString copy = workingCopyOf(row);
    const QString stored = storedFileOf(row);
    // Other play lists' copies may still be on their way; this one must not.
    if (m_writer->isPending(copy))
        finishWrites();

    QString error;
    setBusy(true);
    std::optional<QByteArray> bytes;
    QString failed;
    bool readCopy = false;
    PlayListFile::Content content;
    const auto readAndParse = [&] {
        for (const QString &file : {copy, stored}) {
            if (!m_disk->exists(file))
                continue;
            bytes = m_disk->read(file, error);
            readCopy = bytes && file == copy;
            if (bytes)
                break;
            if (failed.isEmpty())
                failed = file;
        }
        if (!bytes && failed.isEmpty())
            bytes = QByteArray(); // never stored yet: an empty play list
        if (bytes)
            content = PlayListFile::parse(*bytes);
    };
    if (aside && m_hooks.runAside)
        m_hooks.runAside(readAndParse);
    else
        readAndParse();
    // A list without a working copy gets one from the bytes just read: the
    // stored file is read once, and a big copy is written on the writer's
    // thread. In a folder that cannot be written the stored file alone serves.
    const bool makeCopy = bytes && !readCopy && m_writeProblem.isEmpty() && m_disk->exists(stored);

    setMark(m_unreadable, entry, !bytes);
    if (!bytes) {
        setBusy(false);
        m_dialogs.messageBox(
            kProgramName,
            QStringLiteral("The Play List '%1' could not be read from\n%2\n(%3)\n\nIts songs are "
                           "not shown, and its file is left as it is.")
                .arg(name, QDir::toNativeSeparators(failed), error),
            DialogButtons::Ok, DialogIcon::Critical);
        updateStatusBar();
        return;
    }

    if (content.shortcutFolder) {
        // Keep the entry a shortcut even when the library did not know it as one,
        // so that the next refresh writes the folder back, not an empty list.
        if (m_library.entry(row).shortcut.isEmpty())
            m_library.setShortcut(row, *content.shortcutFolder);
        if (makeCopy)
            writeWorkingCopyBytes(row, copy, *bytes, false);
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
    m_songs.setRows(std::move(content.songs), content.playSeconds);
    // A working copy that writing the rows would reproduce byte for byte is
    // not written again by the refresh.
    const bool plain = m_library.entry(row).shortcut.isEmpty();
    if (readCopy && content.canonical && plain)
        rememberWorkingCopy(row, copy, bytes->size());
    else if (makeCopy && content.canonical && plain)
        writeWorkingCopyBytes(row, copy, *bytes, true);
    else if (makeCopy)
        writeWorkingCopy(row);
    updateStatusBar();
    setBusy(false);
}

void PlayListStore::SavePlayList(bool WorkingCopyOnly)
{
    if (WorkingCopyOnly) {
        const int row = selectedPlayList();
        // The song list holds the shown play list's songs: never another's.
        if (row >= 0 && row == ShownPlayList() && !isUnreadable(row))
            writeWorkingCopy(row);
        return;
    }
    saveStoredFile();
}

PlayListStore::SaveResult PlayListStore::saveStoredFile(bool closing)
{
    int row = selectedPlayList();
    if (row < 0 || row != ShownPlayList())
        return SaveResult::NotSaved;

    if (!m_writeProblem.isEmpty() && !recheckWriteProblem()) {
        m_dialogs.messageBox(kProgramName,
                             m_writeProblem +
                                 QStringLiteral("\n\nThe Play List '%1' is not saved; its changes "
                                                "stay in the window while VORN runs.")
                                     .arg(m_library.entry(row).name),
                             DialogButtons::Ok, DialogIcon::Critical);
        return SaveResult::Failed;
    }
    if (isUnreadable(row)) {
        m_dialogs.messageBox(kProgramName,
                             QStringLiteral("The Play List '%1' could not be read, so it is "
                                            "not saved: its file is left as it is.")
                                 .arg(m_library.entry(row).name),
                             DialogButtons::Ok, DialogIcon::Critical);
        return SaveResult::Failed;
    }

    QString name = m_library.entry(row).name;
    if (name.toLower() == QLatin1String("untitled")) {
        if (!promptForName(row, name))
            return SaveResult::NotSaved;
        row = selectedPlayList();
        if (row < 0)
            return SaveResult::NotSaved;
    }

    const bool renamed = name != m_library.entry(row).name;
    if (renamed) {
        const QString oldCopy = workingCopyOf(row);
        m_library.setName(row, name);
        m_library.setExtension(row, QStringLiteral(".sdf"));
        moveWorkingCopy(oldCopy, workingCopyOf(row));
    }
    const QString &shortcut = m_library.entry(row).shortcut;
    const QByteArray bytes = shortcut.isEmpty() ? PlayListFile::serialize(m_songs.rows())
                                                : PlayListFile::serializeShortcut(shortcut);
    const QString target = storedFileOf(row);
    QString error;
    if (m_disk->write(target, bytes, error)) {
        m_library.setTag(row, QString());
        // The copy that came along with the name may be older than the songs.
        if (renamed)
            writeWorkingCopy(row);
        return SaveResult::Saved;
    }
    // The modified mark stays, so the closing question still offers the save.
    QString text = QStringLiteral("The Play List could not be saved to\n%1")
                       .arg(QDir::toNativeSeparators(target)) +
                   QStringLiteral("\n(%1)").arg(error);
    if (closing)
        text += QStringLiteral("\n\nVORN stays open and keeps the changes in its window. Make "
                               "room on the disk and close again, or keep the songs with Save As "
                               "under another name once there is room.");
    m_dialogs.messageBox(kProgramName, text, DialogButtons::Ok, DialogIcon::Critical);
    return SaveResult::Failed;
}

void PlayListStore::saveShownWorkingCopy()
{
    const int row = ShownPlayList();
    if (row >= 0 && !isUnreadable(row))
        writeWorkingCopy(row);
}

bool PlayListStore::workingCopyCurrent(int row, const QString &target) const
{
    if (!m_written || m_written->entry != m_library.index(row, 0) || m_written->path != target ||
        m_written->shortcut != m_library.entry(row).shortcut ||
        m_written->revision != m_songs.contentRevision())
        return false;
    // A file removed or changed behind the program's back is written again.
    return m_writer->isPending(target) || QFileInfo(target).size() == m_written->size;
}

void PlayListStore::rememberWorkingCopy(int row, const QString &target, qint64 size)
{
    m_written = WrittenCopy{m_library.index(row, 0), target, m_library.entry(row).shortcut,
                            m_songs.contentRevision(), size};
}

void PlayListStore::moveWorkingCopy(const QString &from, const QString &to)
{
    finishWrites();
    m_written.reset();
    if (from == to || !QFile::exists(from))
        return;
    std::error_code failure;
    std::filesystem::rename(QFileInfo(from).filesystemAbsoluteFilePath(),
                            QFileInfo(to).filesystemAbsoluteFilePath(), failure);
    // Failing that, the copy of the old name goes: the song list still holds
    // the songs, and the next refresh writes the copy of the new name.
    if (failure)
        QFile::remove(from);
}

void PlayListStore::writeWorkingCopy(int row)
{
    // Nothing is written into a folder that cannot take it; the user was told.
    if (!m_writeProblem.isEmpty())
        return;
    const QString target = workingCopyOf(row);
    // Refreshes follow every change, often several per change: only the
    // first after a change has anything new to write.
    if (workingCopyCurrent(row, target))
        return;
    const QString &shortcut = m_library.entry(row).shortcut;
    if (!shortcut.isEmpty()) {
        writeWorkingCopyBytes(row, target, PlayListFile::serializeShortcut(shortcut), true);
        return;
    }
    const std::vector<SongRow> &rows = m_songs.rows();
    qsizetype size = 0;
    for (const SongRow &song : rows)
        size += song.lineSize() + 2; // what serialize() writes of it
    if (size < m_backgroundBytes) {
        writeWorkingCopyBytes(row, target, PlayListFile::serialize(rows), true);
        return;
    }
    // A big list is written out on the writer's thread too, from a copy of
    // its rows (which share their texts): the window waits for neither.
    m_writing.insert(target, QPersistentModelIndex(m_library.index(row, 0)));
    rememberWorkingCopy(row, target, size);
    PlayListDisk *disk = m_disk;
    m_writer->post(target, QByteArray(),
                   [disk, snapshot = rows](const QString &path, const QByteArray &,
                                           QString &error) mutable {
                       const bool written =
                           disk->writeScratch(path, PlayListFile::serialize(snapshot), error);
                       // The copy and its bytes were made here, in this
                       // thread's own pool: given back, on this thread.
                       snapshot = {};
                       releaseFreedMemory();
                       return written;
                   });
}

void PlayListStore::writeWorkingCopyBytes(int row, const QString &target, const QByteArray &bytes,
                                          bool current)
{
    const QModelIndex entry = m_library.index(row, 0);
    if (bytes.size() >= m_backgroundBytes) {
        m_writing.insert(target, QPersistentModelIndex(entry));
        if (current)
            rememberWorkingCopy(row, target, bytes.size());
        PlayListDisk *disk = m_disk;
        m_writer->post(target, bytes,
                       [disk](const QString &path, const QByteArray &data, QString &error) {
                           return disk->writeScratch(path, data, error);
                       });
        return;
    }
    // A larger write of the same file still on its way would land after
    // this one.
    if (m_writer->isPending(target))
        finishWrites();
    QString error;
    m_disk->setScratchWrites(true);
    const bool written = m_disk->write(target, bytes, error);
    m_disk->setScratchWrites(false);
    if (written) {
        if (current)
            rememberWorkingCopy(row, target, bytes.size());
        setMark(m_unwritable, entry, false);
        return;
    }
    m_written.reset();
    reportUnwritable(entry, target, error);
}

void PlayListStore::workingCopyWritten(const QString &path, bool written, const QString &error)
{

    // A newer write of the same file may be waiting behind this one: its
    // entry stays recorded until it is done.
    const QPersistentModelIndex entry =
        m_writer->isPending(path) ? m_writing.value(path) : m_writing.take(path);
    if (written) {
        if (entry.isValid())
            setMark(m_unwritable, entry, false);
        return;
    }
    if (m_written && m_written->path == path)
        m_written.reset();
    if (entry.isValid())
        reportUnwritable(entry, path, error);
}

void PlayListStore::reportUnwritable(const QModelIndex &entry, const QString &target,
                                     const QString &error)
{
    // Said once until a write succeeds again: the refresh runs after every change.
    if (hasMark(m_unwritable, entry))
        return;
    setMark(m_unwritable, entry, true);
    m_dialogs.messageBox(
        kProgramName,
        QStringLiteral("The changes to the Play List '%1' cannot be kept: its working copy\n%2\n"
                       "could not be written (%3).")
            .arg(m_library.entry(entry.row()).name, QDir::toNativeSeparators(target), error),
        DialogButtons::Ok, DialogIcon::Warning);
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
        // An entry of that name not stored yet would share the working copy.
        if (!QFile::exists(storedFile(name)) && m_library.findByName(name, saving.row()) < 0)
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
            finishWrites();
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
    if (row >= 0 && row == ShownPlayList())
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
            selectPlayList(row);
            // The shown list's songs are its newest state, newer than its
            // working copy when that could not be written: never reread it.
            if (row != ShownPlayList())
                loadPlayListAt(row);
            // A save that failed (and said why) keeps the program open, so that
            // the working copies are not deleted with the changes in them.
            if (saveStoredFile(true) == SaveResult::Failed) {
                cancelled = true;
                break;
            }
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

bool PlayListStore::multipleSelected() const
{
    return m_selection.selectedRows().size() >= 2;
}

bool PlayListStore::shownIsShortcut() const
{
    const int row = ShownPlayList();
    return row >= 0 && !m_library.entry(row).shortcut.isEmpty();
}

bool PlayListStore::isUnreadable(int row) const
{
    return hasMark(m_unreadable, m_library.index(row, 0));
}

void PlayListStore::setMark(QList<QPersistentModelIndex> &marks, const QModelIndex &entry, bool on)
{
    marks.removeIf(
        [&](const QPersistentModelIndex &mark) { return !mark.isValid() || mark == entry; });
    if (on)
        marks.append(QPersistentModelIndex(entry));
}

bool PlayListStore::hasMark(const QList<QPersistentModelIndex> &marks, const QModelIndex &entry)
{
    return std::any_of(marks.begin(), marks.end(),
                       [&](const QPersistentModelIndex &mark) { return mark == entry; });
}

int PlayListStore::recoverWorkingCopies()
{
    finishWrites();
    m_recovered.clear();
    const bool writable = m_writeProblem.isEmpty();
    if (writable)
        removeWriterLeftovers();
    QDir dir(m_folder);
    const QStringList copies = dir.entryList(kWorkingCopyPattern, QDir::Files, QDir::Name);
    for (const QString &copy : copies) {
        QString error;
        const std::optional<QByteArray> bytes = m_disk->read(dir.filePath(copy), error);
        if (!bytes)
            continue;
        const QString stored = dir.filePath(copy.chopped(4) + storedExtension(copy.right(4)));
        bool unchanged = false;
        if (m_disk->exists(stored)) {
            const std::optional<QByteArray> storedBytes = m_disk->read(stored, error);
            if (!storedBytes)
                continue;
            unchanged = sameContent(*storedBytes, *bytes);
        } else {
            unchanged = bytes->isEmpty();
        }
        if (unchanged) {
            if (writable)
                dir.remove(copy);
        } else
            m_recovered.append(copy);
    }
    return recoveredCount();
}

QString PlayListStore::recoveryNote(int count)
{
    return count == 1
               ? QStringLiteral("1 Play List with unsaved changes was recovered")
               : QStringLiteral("%1 Play Lists with unsaved changes were recovered").arg(count);
}

void PlayListStore::removeWriterLeftovers()
{
    QDir dir(m_folder);
    const QStringList candidates =
        dir.entryList({QStringLiteral("*.tmp.*")}, QDir::Files | QDir::Hidden);
    for (const QString &name : candidates) {
        if (kWriterLeftover.match(name).hasMatch())
            dir.remove(name);
    }
}

bool PlayListStore::recheckWriteProblem()
{
    if (!m_writeProblem.isEmpty())
        m_writeProblem = PlayListFolderAccess::writeProblem(m_folder);
    return m_writeProblem.isEmpty();
}

QString PlayListStore::editBlockReason() const
{
    if (!m_writeProblem.isEmpty())
        return m_writeProblem;
    if (m_importing)
        return QStringLiteral("A play list is being imported.");
    const int row = ShownPlayList();
    if (row >= 0 && isUnreadable(row))
        return QStringLiteral("The Play List '%1' could not be read, so it cannot be changed.")
            .arg(m_library.entry(row).name);
    return QString();
}

void PlayListStore::DeleteWorkingCopies()
{
    if (!m_writeProblem.isEmpty())
        return;
    finishWrites();
    QDir dir(m_folder);
    const QStringList copies = dir.entryList(kWorkingCopyPattern, QDir::Files);
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
