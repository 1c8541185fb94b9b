#include "editguard.h"

#include "library/playliststore.h"
#include "library/songlistactions.h"
#include "mainactions.h"

#include <QAction>
#include <QDebug>
#include <QStatusBar>

EditGuard::EditGuard(PlayListStore &store, const MainActions &actions,
                     const SongListActions &songActions)
    : m_store(store)
{
    // What changes the shown list's songs or saves them.
    for (QAction *action :
         {actions.tbAdd, actions.tbRemove, actions.tbbAddWizard, actions.mnuPLMerge,
          actions.tbbMerge, actions.mnuPLSave, actions.tbSavePlayList, songActions.tbAdd,
          songActions.tbRemove, songActions.tbUp, songActions.tbDown, songActions.mnuSongsAdd,
          songActions.mnuSongsRemove})
        m_guarded.append(Guarded{action, false, false, false, QString()});
    // What makes, names or removes play lists.
    for (QAction *action :
         {actions.mnuPLNew, actions.tbNewPlayList, actions.mnuPLShortcut, actions.tbbShortcut,
          actions.mnuPLOpen, actions.tbOpenPlayList, actions.mnuPLSaveAs, actions.tbbSaveAs,
          actions.mnuPLRename, actions.mnuPLDelete})
        m_guarded.append(Guarded{action, true, false, false, QString()});
}

void EditGuard::recheck()
{
    if (!m_store.writeProblem().isEmpty())
        m_store.recheckWriteProblem();
    reapply();
}

void EditGuard::reapply()
{
    const QString folder = m_store.writeProblem();
    const QString list = m_store.editBlockReason();
    for (Guarded &guarded : m_guarded) {
        const QString &reason = guarded.wholeFolder ? folder : list;
        QAction *action = guarded.action;
        if (!reason.isEmpty()) {
            if (!guarded.blocked) {
                guarded.blocked = true;
                guarded.wanted = action->isEnabled();
                guarded.toolTip = action->toolTip();
            } else if (action->isEnabled()) {
                guarded.wanted = true; // switched on by the window meanwhile
            }
            action->setEnabled(false);
            action->setToolTip(reason);
        } else if (guarded.blocked) {
            guarded.blocked = false;
            action->setToolTip(guarded.toolTip);
            action->setEnabled(guarded.wanted);
        }
    }
}

void EditGuard::announce(QStatusBar &statusBar) const
{
    const QString &problem = m_store.writeProblem();
    if (problem.isEmpty())
        return;
    // Also for whoever started VORN from a terminal: the log cannot be written.
    qWarning().noquote() << problem;
    statusBar.showMessage(problem);
}
