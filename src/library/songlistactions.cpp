#include "songlistactions.h"

#include "accessiblenames.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QToolBar>

namespace {

QAction *addButton(QToolBar *bar, const char *key, const char *themeIcon, const char *toolTip)
{
    QAction *action = bar->addAction(QIcon::fromTheme(QLatin1String(themeIcon)), QString());
    action->setObjectName(QLatin1String(key));
    action->setToolTip(QLatin1String(toolTip));
    nameToolButton(bar, action, action->toolTip());
    return action;
}

QAction *addItem(QMenu *menu, const char *name, const char *caption)
{
    QAction *action = menu->addAction(QLatin1String(caption));
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

SongListActions SongListActions::create(QWidget *parent)
{
    SongListActions a;
    a.tbPlayListOptions = new QToolBar(parent);
    a.tbPlayListOptions->setObjectName(QStringLiteral("tbPlayListOptions"));
    a.tbPlayListOptions->setOrientation(Qt::Vertical);
    a.tbPlayListOptions->setMovable(false);
    a.tbPlayListOptions->setFloatable(false);
    a.tbPlayListOptions->setIconSize(QSize(16, 16));
    nameOverflowButton(a.tbPlayListOptions);
    a.tbAdd = addButton(a.tbPlayListOptions, "tbAdd", "list-add", "Add media file(s)");
    a.tbRemove =
        addButton(a.tbPlayListOptions, "tbRemove", "list-remove", "Remove selected media file(s)");
    a.tbUp = addButton(a.tbPlayListOptions, "tbUp", "go-up", "Move Up");
    a.tbDown = addButton(a.tbPlayListOptions, "tbDown", "go-down", "Move Down");

    a.mnuSongs = new QMenu(QStringLiteral("mnuSongs"), parent);
    a.mnuSongs->setObjectName(QStringLiteral("mnuSongs"));
    a.mnuSongsAdd = addItem(a.mnuSongs, "mnuSongsAdd", "&Add");
    a.mnuSongsRemove = addItem(a.mnuSongs, "mnuSongsRemove", "&Remove");
    a.mnuSongs->addSeparator()->setObjectName(QStringLiteral("mnuSongsPlaySep01"));
    a.mnuSongsPlay = addItem(a.mnuSongs, "mnuSongsPlay", "&Play");
    a.mnuSongsFadeAndPlay = addItem(a.mnuSongs, "mnuSongsFadeAndPlay", "&Fade Out && Play");
    return a;
}

void SongListActions::setSongEditingEnabled(bool enabled) const
{
    for (QAction *action : {tbAdd, tbRemove, mnuSongsAdd, mnuSongsRemove})
        action->setEnabled(enabled);
}
