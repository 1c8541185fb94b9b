#include "playlistcommands.h"

#include "core/freedmemory.h"
#include "core/userdialogs.h"
#include "library/import/playlistimport.h"
#include "playlistimportjob.h"
#include "mediatypes.h"
#include "playlistlibrarymodel.h"
#include "playlistname.h"
#include "playliststore.h"
#include "songlisteditor.h"
#include "songlistmodel.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QScopeGuard>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

const QString kProgramName = QStringLiteral("VORN");

// Imports of at least this many songs give what they freed back to the system.
constexpr int kReleaseAfterSongs = 1000;

// The rename both replaces an existing target (which the user agreed to) and
// keeps the source whole when it fails.
bool replaceFile(const QString &from, const QString &to)
{
    std::error_code error;
    std::filesystem::rename(QFileInfo(from).filesystemAbsoluteFilePath(),
                            QFileInfo(to).filesystemAbsoluteFilePath(), error);
    return !error;
}

bool isTrailingSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QDir::separator();
}

} // namespace

QString safePlayListName(const QString &name)
{
    QString safe = name;
    for (QChar &c : safe) {
        if (!IsValidPlayListName(QString(c)))
            c = QLatin1Char('_');
    }
    return safe;
}

QString folderDisplayName(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    const QString last = QFileInfo(clean).fileName();
    if (!last.isEmpty())
        return last;
    // A top folder: its drive ("C:") or the root itself.
    QString top = QDir::toNativeSeparators(clean);
    while (top.size() > 1 && isTrailingSeparator(top.back()))
        top.chop(1);
    return top;
}

bool isPlayListFile(const QString &path)
{
    const QString extension = lowerExtension(path);
    return extension == QLatin1String("pls") || extension == QLatin1String("m3u") ||
           extension == QLatin1String("m3u8");
}

PlayListCommands::PlayListCommands(PlayListStore &store, PlayListLibraryModel &library,
                                   QItemSelectionModel &librarySelection, SongListModel &songs,
                                   SongListEditor &editor, UserDialogs &dialogs)
    : m_store(store)
    , m_library(library)
    , m_selection(librarySelection)
    , m_songs(songs)
    , m_editor(editor)
    , m_dialogs(dialogs)
{}

void PlayListCommands::setHooks(Hooks hooks)
{
    m_hooks = std::move(hooks);
}

void PlayListCommands::mnuPLNew_Click()
{
    NewPlayList(QString());
}

void PlayListCommands::NewPlayList(const QString &name)
{
    m_store.NewPlayList(name);
    syncCommandStates();
}

void PlayListCommands::mnuPLRename_Click()
{
    const int row = m_store.selectedPlayList();
    if (row >= 0 && m_hooks.editPlayListName)
        m_hooks.editPlayListName(row);
}

bool PlayListCommands::lvPlayLists_AfterLabelEdit(int row, const QString &newText)
{
    if (row < 0 || row >= m_library.count())
        return false;
    const QString oldName = m_library.entry(row).name;
    if (newText.isEmpty() || newText == oldName)
        return false;
    if (!IsValidPlayListName(newText)) {
        m_dialogs.messageBox(kProgramName, invalidPlayListNameMessage(), DialogButtons::Ok,
                             DialogIcon::None);
        return false;
    }

    // A change of letter case only, where the file system ignores case, keeps
    // the very same files: there is nothing to replace.
    const bool sameFiles = PlayListLibraryModel::sameName(oldName, newText);
    QList<QPersistentModelIndex> replaced;
    if (!sameFiles) {
        for (int other = 0; other < m_library.count(); ++other) {
            if (other != row &&
                PlayListLibraryModel::sameName(m_library.entry(other).name, newText))
                replaced << QPersistentModelIndex(m_library.index(other, 0));
        }
        if ((!replaced.isEmpty() || QFile::exists(m_store.storedFile(newText))) &&
            m_store.askOverwrite() != DialogAnswer::Yes)
            return false;
    }

    m_store.finishWrites();
    const QString oldStored = m_store.storedFileOf(row);
    const QString newStored = m_store.storedFile(newText);
    const QString oldCopy = m_store.workingCopyOf(row);
    const QString newCopy = m_store.workingCopy(newText);
    const bool hadStored = QFile::exists(oldStored);
    if (hadStored) {
        if (!replaceFile(oldStored, newStored))
            return false;
    } else if (!sameFiles) {
        QFile::remove(newStored);
    }
    if (QFile::exists(oldCopy)) {
        if (!replaceFile(oldCopy, newCopy)) {
            if (hadStored)
                replaceFile(newStored, oldStored);
            return false;
        }
    } else if (!sameFiles) {
        // Whatever working copy the new name had belongs to another play list;
        // loading must not pick it up.
        QFile::remove(newCopy);
    }

    const QPersistentModelIndex renamed(m_library.index(row, 0));
    const bool wasShown = m_store.ShownPlayList() == row;
    for (const QPersistentModelIndex &other : std::as_const(replaced)) {
        if (other.isValid())
            m_library.removeEntry(other.row());
    }
    m_library.setName(renamed.row(), newText);
    m_library.setExtension(renamed.row(), QStringLiteral(".sdf"));
    if (m_renamed)
        m_renamed(oldName, newText);

    if (!replaced.isEmpty()) {
        // The song list may have shown a play list that just left the library.
        if (!wasShown && m_store.ShownPlayList() < 0) {
            m_store.selectPlayList(renamed.row());
            showPlayList(renamed.row());
        }
        updateStatusBar();
    }
    return true;
}

void PlayListCommands::mnuPLDelete_Click()
{
    const int current = m_store.selectedPlayList();
    if (current < 0)
        return;
    int k = std::max(current - 1, 0);

    QList<int> rows;
    for (const QModelIndex &index : m_selection.selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end(), std::greater<>());
    if (m_deleteCheck) {
        QStringList names;
        for (const int row : std::as_const(rows))
            names << m_library.entry(row).name;
        if (!m_deleteCheck(names))
            return;
    }
    // A working copy still being written would come back after its delete.
    m_store.finishWrites();
    for (const int row : std::as_const(rows)) {
        QFile::remove(m_store.storedFileOf(row));
        // The working copy goes too: a later play list of the same name must
        // not load the songs of this one.
        QFile::remove(m_store.workingCopyOf(row));
        m_library.removeEntry(row);
    }
    m_songs.clear();

    if (m_library.count() > 0) {
        k = std::min(k, m_library.count() - 1);
        m_store.selectPlayList(k);
        if (m_hooks.scrollToPlayList)
            m_hooks.scrollToPlayList(k);
        // Shown, so that the status refresh below writes its own songs back.
        showPlayList(k);
    }
    syncCommandStates();
    updateStatusBar();
}

void PlayListCommands::mnuPLSave_Click()
{
    if (!m_store.multipleSelected())
        m_store.SavePlayList(false);
}

void PlayListCommands::mnuPLSaveAs_Click()
{
    SavePlayListAs();
}

void PlayListCommands::SavePlayListAs()
{
    const int row = m_store.selectedPlayList();
    if (row < 0)
        return;
    const QPersistentModelIndex source(m_library.index(row, 0));

    m_store.NewPlayList(QString());
    const QPersistentModelIndex copy(m_library.index(m_store.selectedPlayList(), 0));
    if (source.isValid())
        m_store.loadPlayListAt(source.row());
    // The song list holds the copy's songs now, and the copy is what is saved.
    if (copy.isValid())
        m_store.setShownPlayList(copy.row());
    m_store.SavePlayList(false);
    syncCommandStates();
}

auto PlayListCommands::jobScope()
{
    ++m_jobDepth;
    return qScopeGuard([this] {
        if (--m_jobDepth == 0 && m_jobEnded)
            m_jobEnded();
    });
}

void PlayListCommands::mnuPLShortcut_Click()
{
    const QString folder =
        m_dialogs.browseFolder(QStringLiteral("Select the directory to create a shortcut"));
    if (folder.isEmpty())
        return;
    LoadShortcutPlayList(folder, true, folderDisplayName(folder));
}

void PlayListCommands::LoadShortcutPlayList(const QString &folder, bool isNew,
                                            const QString &displayName)
{
    setBusy(true);
    if (m_hooks.setSongEditingEnabled)
        m_hooks.setSongEditingEnabled(false);
    if (m_hooks.setMergeEnabled)
        m_hooks.setMergeEnabled(false);

    QString name = displayName;
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        name.remove(colon, 1);

    QString dir = folder;
    if (isNew) {
        m_store.NewPlayList(unusedName(QStringLiteral("Shortcut to ") + safePlayListName(name)));
        const int row = m_store.selectedPlayList();
        if (row >= 0)
            m_library.setShortcut(row, folder);
    } else if (dir.isEmpty()) {
        const int row = m_store.selectedPlayList();
        if (row >= 0)
            dir = m_library.entry(row).shortcut;
    }
    if (dir.size() > 1 && isTrailingSeparator(dir.back()) && !QDir(dir).isRoot())
        dir.chop(1);

    if (dir.isEmpty()) {
        m_songs.clear();
    } else if (m_import) {
        // One job runs at a time: beside one on its way, the folder is listed here.
        m_songs.clear();
        m_editor.addFiles(listMediaFiles(dir));
    } else {
        const auto job = jobScope();
        // The rows shown stay until the folder's are ready: a song ending
        // meanwhile finds a list to go on with.
        std::optional<PlayListImportJob::Result> listed = runJob(
            PlayListImportJob::folder(dir),
            QStringLiteral("Listing %1...").arg(QDir::toNativeSeparators(dir)));
        m_songs.clear();
        if (listed)
            m_editor.appendMadeRows(std::move(listed->rows));
    }

    setBusy(false);
    updateStatusBar();
}

void PlayListCommands::enableSongEditing()
{
    if (m_hooks.setSongEditingEnabled)
        m_hooks.setSongEditingEnabled(selectedCount() < 2);
    if (m_hooks.setMergeEnabled)
        m_hooks.setMergeEnabled(selectedCount() < 2);
}

void PlayListCommands::lvPlayLists_MouseDown()
{
    m_playListMouseMoved = false;
}

void PlayListCommands::lvPlayLists_MouseMove()
{
    m_playListMouseMoved = true;
}

void PlayListCommands::lvPlayLists_MouseUp(Qt::MouseButton button, int row)
{
    // A press moved across the list may have selected other entries.
    if (m_playListMouseMoved) {
        followLibrarySelection();
        return;
    }

    if (selectedCount() >= 2) {
        if (m_hooks.setPlayListCommandsEnabled)
            m_hooks.setPlayListCommandsEnabled(false);
        syncCommandStates();
        if (button == Qt::RightButton && m_hooks.showPlayListMenu)
            m_hooks.showPlayListMenu();
        return;
    }
    if (m_hooks.setPlayListCommandsEnabled)
        m_hooks.setPlayListCommandsEnabled(true);
    syncCommandStates();

    if (row < 0 || row >= m_library.count())
        return;
    if (m_hooks.scrollToPlayList)
        m_hooks.scrollToPlayList(row);

    if (button == Qt::RightButton)
        m_store.selectPlayList(row);
    // A Ctrl-click can leave the clicked entry unselected: the selected one is
    // then what the song list must show.
    const int target = m_selection.isRowSelected(row) ? row : m_store.selectedPlayList();
    switchTo(target);

    if (button == Qt::RightButton && m_hooks.showPlayListMenu)
        m_hooks.showPlayListMenu();
}

void PlayListCommands::followLibrarySelection()
{
    const bool several = selectedCount() >= 2;
    if (m_hooks.setPlayListCommandsEnabled)
        m_hooks.setPlayListCommandsEnabled(!several);
    syncCommandStates();
    if (!several)
        switchTo(m_store.selectedPlayList());
}

void PlayListCommands::switchTo(int row)
{
    if (row < 0 || row >= m_library.count() || m_store.ShownPlayList() == row)
        return;
    // The list left behind keeps its current state, order included.
    m_store.saveShownWorkingCopy();
    showPlayList(row);
    syncCommandStates();
}

void PlayListCommands::OpenPlayListFiles(bool merge)
{
    const QStringList files = m_dialogs.openFileNames(
        QStringLiteral("Open Play List Files"),
        QStringLiteral("Supported Play List Files|*.pls;*.m3u;*.m3u8|All Files (*.*)|*.*"));
    if (files.isEmpty())
        return;
    for (const QString &file : files) {
        if (!ImportPlayListFile(file, merge))
            break;
    }
    syncCommandStates();
    updateStatusBar();
}

std::optional<int> PlayListCommands::ImportPlayListFile(const QString &path, bool merge)
{
    const std::optional<int> added = importFile(path, merge);
    // The rows now hold their texts packed; the paths read, and the rows the
    // lookups' threads made, are free: a big import gives them back, so that
    // an imported list costs what the same list loaded at start-up costs.
    if (added && *added >= kReleaseAfterSongs)
        releaseFreedMemory();
    return added;
}

std::optional<int> PlayListCommands::importFile(const QString &path, bool merge)
{
    // Only regular files: a folder has nothing to read, and a pipe or device
    // would block the reading forever.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    // One import at a time: a list dropped onto the song list while another
    // is on its way is refused, as the commands are.
    if (m_import)
        return std::nullopt;
    const auto job = jobScope();
    // Merged songs go into the play list shown now, whatever is shown by the
    // time they are ready.
    const QPersistentModelIndex target = m_library.index(m_store.ShownPlayList(), 0);
    std::optional<PlayListImportJob::Result> list =
        runJob(PlayListImportJob::listFile(path),
               QStringLiteral("Importing %1...").arg(QFileInfo(path).fileName()));
    if (!list)
        return std::nullopt;
    if (merge && target.isValid() && target.row() != m_store.ShownPlayList()) {
        m_store.selectPlayList(target.row());
        switchTo(target.row());
    }
    // A shortcut play list holds only its folder: merged songs would vanish.
    // With several play lists selected the shown one is not the only target.
    if (merge && (selectedIsShortcut() || m_store.multipleSelected()))
        return 0;

    if (!merge)
        NewPlayList(unusedName(safePlayListName(list->name)));

    setBusy(true);
    const auto added = static_cast<int>(list->rows.size());
    m_editor.appendMadeRows(std::move(list->rows));
    setBusy(false);

    if (!merge || added > 0)
        m_store.SetModifyedPLFlag();
    return added;
}

std::optional<PlayListImportJob::Result> PlayListCommands::runJob(PlayListImportJob::Reader read,
                                                                  const QString &status)
{
    // The window goes on answering while the job works: the music can be
    // stopped, the program closed (which stops the job). What would change
    // the play lists waits until the songs are in.
    QEventLoop loop;
    PlayListImportJob job(std::move(read), [&loop] {
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    m_import = &job;
    m_store.setImporting(true);
    if (m_hooks.setImporting)
        m_hooks.setImporting(true, status);
    setBusy(true);
    updateStatusBar();
    // The job always ends the loop, also when it was done before it began:
    // what was posted before the import is handled during it, every time.
    loop.exec();
    // The loop also ends when the program quits: the job is then stopped,
    // not waited for to the end.
    if (!job.isFinished())
        job.cancel();
    m_import = nullptr;
    setBusy(false);
    m_store.setImporting(false);
    if (m_hooks.setImporting)
        m_hooks.setImporting(false, QString());
    updateStatusBar();
    return job.take();
}

void PlayListCommands::cancelImport()
{
    if (m_import)
        m_import->cancel();
}

void PlayListCommands::lvPlayLists_OLEDragDrop(const QStringList &paths, bool ctrl)
{
    for (const QString &path : paths) {
        if (!isPlayListFile(path))
            continue;
        if (!ImportPlayListFile(path, ctrl))
            break;
    }
    syncCommandStates();
    updateStatusBar();
}

int PlayListCommands::selectedCount() const
{
    return static_cast<int>(m_selection.selectedRows().size());
}

bool PlayListCommands::selectedIsShortcut() const
{
    const int row = m_store.selectedPlayList();
    return row >= 0 && !m_library.entry(row).shortcut.isEmpty();
}

void PlayListCommands::showPlayList(int row)
{
    const PlayListEntry &entry = m_library.entry(row);
    if (entry.shortcut.isEmpty()) {
        m_store.loadPlayListAt(row);
        return;
    }
    m_store.setShownPlayList(row);
    LoadShortcutPlayList(entry.shortcut, false, QString());
}

QString PlayListCommands::unusedName(const QString &name) const
{
    auto taken = [this](const QString &candidate) {
        return m_library.findByName(candidate) >= 0 || QFile::exists(m_store.storedFile(candidate));
    };
    if (!taken(name))
        return name;
    for (int number = 1;; ++number) {
        const QString candidate = name + QLatin1Char(' ') + QString::number(number);
        if (!taken(candidate))
            return candidate;
    }
}

void PlayListCommands::syncCommandStates()
{
    const int shown = m_store.ShownPlayList();
    const bool shortcut = shown >= 0 && !m_library.entry(shown).shortcut.isEmpty();
    const bool single = selectedCount() < 2;
    if (m_hooks.setSongEditingEnabled)
        m_hooks.setSongEditingEnabled(!shortcut && single);
    if (m_hooks.setMergeEnabled)
        m_hooks.setMergeEnabled(!shortcut && single);
}

void PlayListCommands::setBusy(bool busy)
{
    if (m_hooks.setBusy)
        m_hooks.setBusy(busy);
}

void PlayListCommands::updateStatusBar()
{
    if (m_hooks.updateStatusBar)
        m_hooks.updateStatusBar();
}
