#include "commandrouter.h"

#include "library/playlistcommands.h"
#include "library/songlisteditor.h"
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
