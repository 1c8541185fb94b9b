#pragma once

#include <QList>
#include <QPoint>
#include <QString>

#include <array>
#include <span>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QToolBar;
class QToolButton;
class QWidget;

// The main window's command vocabulary: the menus "&Play List", "&View" and
// "&Help" and the top toolbar tbTools with its drop-down items. Each action's
// objectName is its item or key name; the indexed view modes are named
// "mnuViewMode0" ... "mnuViewMode3" and carry their index as data. Nothing
// here is connected to behaviour, except that the View button's arrow opens
// the View menu below the button.
struct MainActions
{
    static constexpr int kViewModeCount = 4;
    // Captions tbTools' buttons take from ButtonCaptions; the player
    // toolbar's buttons take the entries after them.
    static constexpr int kToolsCaptionCount = 6;

    QMenu *mnuPL = nullptr;
    QAction *mnuPLNew = nullptr;
    QAction *mnuPLShortcut = nullptr;
    QAction *mnuPLOpen = nullptr;
    QAction *mnuPLMerge = nullptr;
    QAction *mnuPLSave = nullptr;
    QAction *mnuPLSaveAs = nullptr;
    QAction *mnuPLRename = nullptr;
    QAction *mnuPLDelete = nullptr;

    QMenu *mnuView = nullptr;
    // Large Icons, Small Icons, List, Details: exclusive, Details checked.
    std::array<QAction *, kViewModeCount> mnuViewMode{};
    QActionGroup *mnuViewModeGroup = nullptr;
    QAction *mnuViewBanner = nullptr;
    QAction *mnuViewTextLabels = nullptr;

    QMenu *mnuHelp = nullptr;
    QAction *mnuHelpContents = nullptr;
    QAction *mnuHelpAbout = nullptr;

    QToolBar *tbTools = nullptr;
    QAction *tbNewPlayList = nullptr;
    QAction *tbOpenPlayList = nullptr;
    QAction *tbSavePlayList = nullptr;
    // The placeholder that keeps the song buttons near the song list; the
    // layout sets its width.
    QWidget *tbSeparator = nullptr;
    QAction *tbAdd = nullptr;
    QAction *tbRemove = nullptr;
    QAction *tbView = nullptr;
    // Drop-down items of New, Open, Save and Add.
    QAction *tbbShortcut = nullptr;
    QAction *tbbMerge = nullptr;
    QAction *tbbSaveAs = nullptr;
    QAction *tbbAddWizard = nullptr;

    // Menus and toolbar are children of `parent`; the placeholder starts at
    // its design width of 1000 twips at `dotsPerInch`.
    static MainActions create(QWidget *parent, double dotsPerInch);

    void addMenusTo(QMenuBar *bar) const;

    // tbTools' captioned buttons in order: New, Open, Save, Add, Remove, View.
    QList<QAction *> toolButtons() const;
    QToolButton *buttonFor(QAction *action) const;

    // Gives the k-th button of tbTools (separators and placeholders skipped)
    // captions[k], then the k-th of `playerButtons` captions[6 + k], or empty
    // captions when `on` is off. The toolbars holding these buttons show text
    // under their icons when on and icons alone when off, so they get lower.
    void applyTextLabels(std::span<const QString> captions, bool on,
                         const QList<QAction *> &playerButtons) const;

    // Puts the check mark on view mode `mode` (0 ... 3) and takes it off the
    // others; an index out of range changes nothing.
    void checkViewMode(int mode) const;
    // The checked view mode, -1 when none is.
    int checkedViewMode() const;

    // Opens the View menu as a pop-up at the View button's left edge and
    // tbTools' lower edge (what the View button's arrow does).
    void popupViewMenu() const;
    // That place in global coordinates.
    QPoint viewMenuPosition() const;

    // While music plays the library must not change: New, Open and Save of
    // tbTools and the whole "&Play List" menu are disabled until Stop.
    // The window disables lvPlayLists alongside.
    void setPlayListCommandsEnabled(bool enabled) const;
};

// "&Fade Out && Play" of the song menu is offered only while something plays,
// that is while tbPlayer's Stop button is not pressed.
bool fadeOutAndPlayEnabled(bool stopPressed);
