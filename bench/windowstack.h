#pragma once

// The play list library wired as the main window wires it, for benchmarks:
// the real song list view (its details and icon views share one selection
// model, which the song list editor reads), file-type icons looked up for
// every row, and the status refresh that counts, totals and writes the
// working copy. Each step that the window would follow with an event-loop
// turn is followed by one here, so that deferred view work is measured.
#include "library/fileicons.h"
#include "library/playlistcommands.h"
#include "library/playlistlibrarymodel.h"
#include "library/playliststore.h"
#include "library/songlisteditor.h"
#include "library/songlistmodel.h"
#include "library/songlistview.h"
#include "shell/statuspanels.h"
#include "support/librarywiring.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QItemSelectionModel>
#include <QTemporaryDir>
#include <QTableView>

#include <algorithm>

struct WindowStack
{
    // A stack over `folder` (the program folder), or over a new temporary one.
    explicit WindowStack(const QString &folder = QString())
        : folderPath(folder.isEmpty() ? dir.path() : folder)
        , view(&songs)
        , store(folderPath, library, librarySelection, songs, dialogs)
        , editor(songs, *view.selectionModel(), store, dialogs)
        , commands(store, library, librarySelection, songs, editor, dialogs)
    {
        auto assignIcons = [this](SongRow &row) {
            const FileIcons::Indexes both = icons.GetFileIcons(row.fileNameUtf8());
            row.icon = both.large;
            row.smallIcon = both.small;
        };
        songs.setImageSource([this](int index, bool large) {
            return icons.pixmap(index, large ? FileIconSize::Large : FileIconSize::Small);
        });

        wireLibrary(
            store, editor, commands, [this] { refresh(); }, assignIcons);

        view.resize(800, 600);
        view.show();
        settle();
    }

    // What the window's status refresh does.
    void refresh()
    {
        status = StatusPanelTexts::compute(library.count(), songs);
        store.SavePlayList(true);
    }

    // Runs what the event loop has queued: delayed layouts, deferred writes.
    static void settle() { QCoreApplication::processEvents(); }

    QTemporaryDir dir;
    QString folderPath;
    PlayListLibraryModel library;
    QItemSelectionModel librarySelection{&library};
    SongListModel songs;
    SongListView view;
    FileIcons icons;
    ScriptedDialogs dialogs;
    PlayListStore store;
    SongListEditor editor;
    PlayListCommands commands;
    StatusPanelTexts status = StatusPanelTexts::initial();
};

// The longest time the event loop of this thread went without turning while
// it runs: a timer that wants to fire every millisecond notes the gaps.
class LongestStall
{
public:
    LongestStall()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_clock.start();
        m_last = m_clock.nsecsElapsed();
        m_timer.start(1);
    }
    // In milliseconds, up to now.
    double milliseconds()
    {
        tick();
        return static_cast<double>(m_longest) / 1e6;
    }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};
