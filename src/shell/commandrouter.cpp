#include "commandrouter.h"

#include "library/playlistcommands.h"
#include "library/playlistlibraryview.h"
#include "library/songlistactions.h"
#include "library/songlisteditor.h"
#include "library/songlistview.h"
#include "mainactions.h"

#include <QAction>

#include <functional>

namespace {

void route(QObject *context, std::initializer_list<QAction *> sources,
           const std::function<void()> &command)
{
    for (QAction *source : sources)
        QObject::connect(source, &QAction::triggered, context, command);
}

} // namespace

void routeCommands(const MainActions &a, PlayListCommands &commands, SongListEditor &editor,
                   QObject *context)
{
    PlayListCommands *c = &commands;
    route(context, {a.mnuPLNew, a.tbNewPlayList}, [c] { c->mnuPLNew_Click(); });
    route(context, {a.mnuPLShortcut, a.tbbShortcut}, [c] { c->mnuPLShortcut_Click(); });
    route(context, {a.mnuPLOpen, a.tbOpenPlayList}, [c] { c->OpenPlayListFiles(false); });
    route(context, {a.mnuPLMerge, a.tbbMerge}, [c] { c->OpenPlayListFiles(true); });
    route(context, {a.mnuPLSave, a.tbSavePlayList}, [c] { c->mnuPLSave_Click(); });
    route(context, {a.mnuPLSaveAs, a.tbbSaveAs}, [c] { c->mnuPLSaveAs_Click(); });
    route(context, {a.mnuPLRename}, [c] { c->mnuPLRename_Click(); });
    route(context, {a.mnuPLDelete}, [c] { c->mnuPLDelete_Click(); });

    SongListEditor *e = &editor;
    route(context, {a.tbAdd}, [e] { e->AddMediaFiles(); });
    route(context, {a.tbRemove}, [e] { e->RemoveSelectedSongs(); });
}

void routeSongList(const SongListActions &actions, SongListView &view, SongListEditor &editor,
                   QObject *context)
{
    SongListEditor *e = &editor;
    route(context, {actions.tbAdd, actions.mnuSongsAdd}, [e] { e->AddMediaFiles(); });
    route(context, {actions.tbRemove, actions.mnuSongsRemove}, [e] { e->RemoveSelectedSongs(); });
    route(context, {actions.tbUp}, [e] { e->moveUp(); });
    route(context, {actions.tbDown}, [e] { e->moveDown(); });

    QObject::connect(&view, &SongListView::columnClicked, context,
                     [e](int column) { e->lvSongs_ColumnClick(column); });
    QObject::connect(&view, &SongListView::moveRequested, context, [e](int target) {
        e->DropTarget = target;
        e->MoveSelectedSongs(false);
    });
    QObject::connect(
        &view, &SongListView::filesDropped, context,
        [e](const QStringList &paths, int row, bool ctrl) { e->dropFiles(paths, row, ctrl); });
}

void routeLibraryView(PlayListLibraryView &view, PlayListCommands &commands, QObject *context)
{
    PlayListCommands *c = &commands;
    QObject::connect(&view, &PlayListLibraryView::mousePressed, context,
                     [c] { c->lvPlayLists_MouseDown(); });
    QObject::connect(&view, &PlayListLibraryView::mouseMoved, context,
                     [c] { c->lvPlayLists_MouseMove(); });
    QObject::connect(&view, &PlayListLibraryView::mouseReleased, context,
                     [c](Qt::MouseButton button, int row) { c->lvPlayLists_MouseUp(button, row); });
    QObject::connect(&view, &PlayListLibraryView::keyPressed, context,
                     [c] { c->followLibrarySelection(); });
    QObject::connect(
        &view, &PlayListLibraryView::labelEdited, context,
        [c](int row, const QString &text) { c->lvPlayLists_AfterLabelEdit(row, text); });
    QObject::connect(
        &view, &PlayListLibraryView::filesDropped, context,
        [c](const QStringList &paths, bool ctrl) { c->lvPlayLists_OLEDragDrop(paths, ctrl); });
}
