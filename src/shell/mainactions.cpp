#include "mainactions.h"

#include "core/twips.h"
#include "library/accessiblenames.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int kSeparatorDesignWidth = 1000; // twips

QAction *addItem(QMenu *menu, const char *name, const char *caption)
{
    QAction *action = menu->addAction(QLatin1String(caption));
    action->setObjectName(QLatin1String(name));
    return action;
}

void addSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

QMenu *addMenu(QWidget *parent, const char *name, const char *title)
{
    auto *menu = new QMenu(QLatin1String(title), parent);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QIcon toolIcon(const char *themeName, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QLatin1String(themeName),
                            QApplication::style()->standardIcon(fallback));
}

QAction *addButton(QToolBar *bar, const char *key, const char *caption, const char *toolTip,
                   const QIcon &icon)
{
    QAction *action = bar->addAction(icon, QLatin1String(caption));
    action->setObjectName(QLatin1String(key));
    if (toolTip)
        action->setToolTip(QLatin1String(toolTip));
    // The caption stays the name when the text labels are switched off.
    nameToolButton(bar, action, action->text());
    return action;
}

QToolButton *toolButton(QToolBar *bar, QAction *action)
{
    return qobject_cast<QToolButton *>(bar->widgetForAction(action));
}

// A drop-down button: a click runs the button's command, the arrow opens
// `menu`.
void makeDropDown(QToolBar *bar, QAction *action, QMenu *menu)
{
    QToolButton *button = toolButton(bar, action);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
}

QPoint viewMenuPositionOf(const QToolBar *bar, const QToolButton *viewButton)
{
    return bar->mapToGlobal(QPoint(viewButton->geometry().left(), bar->height()));
}

// A drop-down button would place its menu by itself; the View button's
// arrow puts the View menu at the toolbar's lower edge instead.
class ViewArrowFilter final : public QObject
{
public:
    ViewArrowFilter(QToolBar *bar, QToolButton *button, QMenu *menu)
        : QObject(button)
        , m_bar(bar)
        , m_button(button)
        , m_menu(menu)
    {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_button || event->type() != QEvent::MouseButtonPress)
            return false;
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !m_button->isEnabled())
            return false;
        if (!arrowRect().contains(mouse->position().toPoint()))
            return false;
        m_menu->popup(viewMenuPositionOf(m_bar, m_button));
        return true;
    }

private:
    QRect arrowRect() const
    {
        QStyleOptionToolButton option;
        option.initFrom(m_button);
        option.rect = m_button->rect();
        option.features = QStyleOptionToolButton::MenuButtonPopup | QStyleOptionToolButton::HasMenu;
        option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
        option.toolButtonStyle = m_button->toolButtonStyle();
        return m_button->style()->subControlRect(QStyle::CC_ToolButton, &option,
                                                 QStyle::SC_ToolButtonMenu, m_button);
    }

    QToolBar *m_bar;
    QToolButton *m_button;
    QMenu *m_menu;
};

} // namespace

MainActions MainActions::create(QWidget *parent, double dotsPerInch)
{
    MainActions a;

    a.mnuPL = addMenu(parent, "mnuPL", "&Play List");
    a.mnuPLNew = addItem(a.mnuPL, "mnuPLNew", "&New");
    a.mnuPLShortcut = addItem(a.mnuPL, "mnuPLShortcut", "&Shortcut...");
    addSeparator(a.mnuPL, "mnuPLSep04");
    a.mnuPLOpen = addItem(a.mnuPL, "mnuPLOpen", "&Open...");
    a.mnuPLMerge = addItem(a.mnuPL, "mnuPLMerge", "Merge...");
    addSeparator(a.mnuPL, "mnuPLSep01");
    a.mnuPLSave = addItem(a.mnuPL, "mnuPLSave", "&Save");
    a.mnuPLSaveAs = addItem(a.mnuPL, "mnuPLSaveAs", "Save As...");
    addSeparator(a.mnuPL, "mnuPLSep02");
    a.mnuPLRename = addItem(a.mnuPL, "mnuPLRename", "&Rename");
    // The usual key for renaming in place.
    a.mnuPLRename->setShortcut(QKeySequence(Qt::Key_F2));
    a.mnuPLDelete = addItem(a.mnuPL, "mnuPLDelete", "&Delete");

    a.mnuView = addMenu(parent, "mnuView", "&View");
    a.mnuViewModeGroup = new QActionGroup(a.mnuView);
    a.mnuViewModeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    constexpr std::array<const char *, kViewModeCount> modeCaptions{"&Large Icons", "&Small Icons",
                                                                    "&List", "&Details"};
    for (int i = 0; i < kViewModeCount; ++i) {
        QAction *mode = a.mnuView->addAction(QLatin1String(modeCaptions[static_cast<size_t>(i)]));
        mode->setObjectName(QStringLiteral("mnuViewMode%1").arg(i));
        mode->setData(i);
        mode->setCheckable(true);
        a.mnuViewModeGroup->addAction(mode);
        a.mnuViewMode[static_cast<size_t>(i)] = mode;
    }
    a.mnuViewMode[3]->setChecked(true);
    addSeparator(a.mnuView, "mnuViewSep01");
    a.mnuViewBanner = addItem(a.mnuView, "mnuViewBanner", "&Player Banner");
    a.mnuViewBanner->setCheckable(true);
    a.mnuViewTextLabels = addItem(a.mnuView, "mnuViewTextLabels", "&Text Labels");
    a.mnuViewTextLabels->setCheckable(true);

    a.mnuHelp = addMenu(parent, "mnuHelp", "&Help");
    a.mnuHelpContents = addItem(a.mnuHelp, "mnuHelpContents", "&Contents");
    addSeparator(a.mnuHelp, "mnuHelpSep01");
    a.mnuHelpAbout = addItem(a.mnuHelp, "mnuHelpAbout", "&About...");

    QToolBar *bar = new QToolBar(parent);
    a.tbTools = bar;
    bar->setObjectName(QStringLiteral("tbTools"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    nameOverflowButton(bar);

    a.tbNewPlayList = addButton(bar, "tbNewPlayList", "New", "Create a new Play List",
                                toolIcon("document-new", QStyle::SP_FileIcon));
    a.tbOpenPlayList = addButton(bar, "tbOpenPlayList", "Open", "Open an existing Play List",
                                 toolIcon("document-open", QStyle::SP_DirOpenIcon));
    a.tbSavePlayList = addButton(bar, "tbSavePlayList", "Save", "Save selected Play List",
                                 toolIcon("document-save", QStyle::SP_DialogSaveButton));

    a.tbSeparator = new QWidget(bar);
    a.tbSeparator->setObjectName(QStringLiteral("tbSeparator"));
    a.tbSeparator->setFixedWidth(twipsToPixels(kSeparatorDesignWidth, dotsPerInch));
    bar->addWidget(a.tbSeparator)->setObjectName(QStringLiteral("tbSeparator"));

    a.tbAdd = addButton(bar, "tbAdd", "Add", "Add media file(s)",
                        toolIcon("list-add", QStyle::SP_FileDialogNewFolder));
    a.tbRemove = addButton(bar, "tbRemove", "Remove", "Remove selected media file(s)",
                           toolIcon("list-remove", QStyle::SP_TrashIcon));
    a.tbView = addButton(bar, "tbView", "View", nullptr,
                         toolIcon("view-list-details", QStyle::SP_FileDialogDetailedView));

    auto *newMenu = addMenu(bar, "tbNewPlayListMenu", "");
    a.tbbShortcut = addItem(newMenu, "tbbShortcut", "Shortcut");
    makeDropDown(bar, a.tbNewPlayList, newMenu);
    auto *openMenu = addMenu(bar, "tbOpenPlayListMenu", "");
    a.tbbMerge = addItem(openMenu, "tbbMerge", "Merge");
    makeDropDown(bar, a.tbOpenPlayList, openMenu);
    auto *saveMenu = addMenu(bar, "tbSavePlayListMenu", "");
    a.tbbSaveAs = addItem(saveMenu, "tbbSaveAs", "Save As");
    makeDropDown(bar, a.tbSavePlayList, saveMenu);
    auto *addMenuItems = addMenu(bar, "tbAddMenu", "");
    a.tbbAddWizard = addItem(addMenuItems, "tbbAddWizard", "Add Wizard");
    makeDropDown(bar, a.tbAdd, addMenuItems);

    makeDropDown(bar, a.tbView, a.mnuView);
    QToolButton *viewButton = toolButton(bar, a.tbView);
    viewButton->installEventFilter(new ViewArrowFilter(bar, viewButton, a.mnuView));
    return a;
}

void MainActions::addMenusTo(QMenuBar *bar) const
{
    for (QMenu *menu : {mnuPL, mnuView, mnuHelp})
        bar->addMenu(menu);
}

QList<QAction *> MainActions::toolButtons() const
{
    return {tbNewPlayList, tbOpenPlayList, tbSavePlayList, tbAdd, tbRemove, tbView};
}

QToolButton *MainActions::buttonFor(QAction *action) const
{
    return toolButton(tbTools, action);
}

void MainActions::applyTextLabels(std::span<const QString> captions, bool on,
                                  const QList<QAction *> &playerButtons) const
{
    size_t k = 0;
    auto label = [&](QAction *action) {
        action->setText(on && k < captions.size() ? captions[k] : QString());
        ++k;
    };
    for (QAction *action : tbTools->actions()) {
        if (action->isSeparator() || !toolButton(tbTools, action))
            continue;
        label(action);
    }
    k = kToolsCaptionCount;
    for (QAction *action : playerButtons)
        label(action);

    const Qt::ToolButtonStyle style = on ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly;
    tbTools->setToolButtonStyle(style);
    for (QAction *action : playerButtons) {
        for (QObject *holder : action->associatedObjects()) {
            if (auto *bar = qobject_cast<QToolBar *>(holder))
                bar->setToolButtonStyle(style);
        }
    }
}

void MainActions::checkViewMode(int mode) const
{
    if (mode < 0 || mode >= kViewModeCount)
        return;
    mnuViewMode[static_cast<size_t>(mode)]->setChecked(true);
}

int MainActions::checkedViewMode() const
{
    const QAction *checked = mnuViewModeGroup->checkedAction();
    return checked ? checked->data().toInt() : -1;
}

void MainActions::popupViewMenu() const
{
    mnuView->popup(viewMenuPosition());
}

QPoint MainActions::viewMenuPosition() const
{
    return viewMenuPositionOf(tbTools, buttonFor(tbView));
}

void MainActions::setPlayListCommandsEnabled(bool enabled) const
{
    for (QAction *action : {tbNewPlayList, tbOpenPlayList, tbSavePlayList, mnuPL->menuAction()})
        action->setEnabled(enabled);
}

bool fadeOutAndPlayEnabled(bool stopPressed)
{
    return !stopPressed;
}
