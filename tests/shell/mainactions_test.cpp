#include "playback/playeractions.h"
#include "shell/mainactions.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

struct Item
{
    const char *name;
    const char *caption;
};

// Names and captions of a menu's entries in order; "-" for separators.
std::vector<std::pair<QString, QString>> entries(const QMenu *menu)
{
    std::vector<std::pair<QString, QString>> out;
    for (const QAction *action : menu->actions())
        out.emplace_back(action->objectName(),
                         action->isSeparator() ? QStringLiteral("-") : action->text());
    return out;
}

std::vector<std::pair<QString, QString>> expected(std::initializer_list<Item> items)
{
    std::vector<std::pair<QString, QString>> out;
    for (const Item &item : items)
        out.emplace_back(QLatin1String(item.name), QLatin1String(item.caption));
    return out;
}

const std::array<QString, 16> kCaptions{
    QStringLiteral("New"),  QStringLiteral("Open"),   QStringLiteral("Save"),
    QStringLiteral("Add"),  QStringLiteral("Remove"), QStringLiteral("View"),
    QStringLiteral("Prev"), QStringLiteral("Play"),   QStringLiteral("Pause"),
    QStringLiteral("Stop"), QStringLiteral("Next"),   QStringLiteral("Cont"),
    QStringLiteral("Rand"), QStringLiteral("Rep"),    QStringLiteral("Mixer"),
    QStringLiteral("Pref")};

class MainActionsTest : public ::testing::Test
{
protected:
    MainActionsTest()
    {
        window.setLayout(new QVBoxLayout);
        window.layout()->setContentsMargins(0, 0, 0, 0);
        window.layout()->setSpacing(0);
        window.layout()->addWidget(a.tbTools);
        window.layout()->addWidget(tbPlayer);
        window.layout()->addWidget(new QWidget(&window));
        // The player toolbar's buttons carry pictures, as in the window.
        QPixmap picture(16, 16);
        picture.fill(Qt::darkGreen);
        tbPlayer->setIconSize(QSize(16, 16));
        tbPlayer->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        for (QAction *button : player.buttons()) {
            button->setIcon(QIcon(picture));
            tbPlayer->addAction(button);
        }
        window.resize(700, 300);
        window.show();
        QApplication::processEvents();
    }
    ~MainActionsTest() override { a.mnuView->close(); }

    QWidget window;
    MainActions a = MainActions::create(&window, 96.0);
    PlayerActions player = PlayerActions::create(&window);
    QToolBar *tbPlayer = new QToolBar(&window);
};

TEST_F(MainActionsTest, MenusHoldEveryItemInOrder)
{
    QMenuBar bar;
    a.addMenusTo(&bar);
    ASSERT_EQ(bar.actions().size(), 3);
    EXPECT_EQ(bar.actions()[0]->text(), QStringLiteral("&Play List"));
    EXPECT_EQ(bar.actions()[1]->text(), QStringLiteral("&View"));
    EXPECT_EQ(bar.actions()[2]->text(), QStringLiteral("&Help"));
    EXPECT_EQ(a.mnuPL->objectName(), QStringLiteral("mnuPL"));
    EXPECT_EQ(a.mnuView->objectName(), QStringLiteral("mnuView"));
    EXPECT_EQ(a.mnuHelp->objectName(), QStringLiteral("mnuHelp"));

    EXPECT_EQ(entries(a.mnuPL), expected({{"mnuPLNew", "&New"},
                                          {"mnuPLShortcut", "&Shortcut..."},
                                          {"mnuPLSep04", "-"},
                                          {"mnuPLOpen", "&Open..."},
                                          {"mnuPLMerge", "Merge..."},
                                          {"mnuPLSep01", "-"},
                                          {"mnuPLSave", "&Save"},
                                          {"mnuPLSaveAs", "Save As..."},
                                          {"mnuPLSep02", "-"},
                                          {"mnuPLRename", "&Rename"},
                                          {"mnuPLDelete", "&Delete"}}));
    EXPECT_EQ(entries(a.mnuView), expected({{"mnuViewMode0", "&Large Icons"},
                                            {"mnuViewMode1", "&Small Icons"},
                                            {"mnuViewMode2", "&List"},
                                            {"mnuViewMode3", "&Details"},
                                            {"mnuViewSep01", "-"},
                                            {"mnuViewBanner", "&Player Banner"},
                                            {"mnuViewTextLabels", "&Text Labels"}}));
    EXPECT_EQ(entries(a.mnuHelp), expected({{"mnuHelpContents", "&Contents"},
                                            {"mnuHelpSep01", "-"},
                                            {"mnuHelpAbout", "&About..."}}));
    EXPECT_TRUE(a.mnuViewBanner->isCheckable());
    EXPECT_TRUE(a.mnuViewTextLabels->isCheckable());
}

struct ButtonRow
{
    const char *key;
    const char *caption;
    const char *toolTip; // nullptr: none
    const char *dropDownKey;
    const char *dropDownCaption;
};

TEST_F(MainActionsTest, TheTopToolbarHoldsItsButtonsInOrder)
{
    EXPECT_EQ(a.tbTools->objectName(), QStringLiteral("tbTools"));
    const std::vector<ButtonRow> rows{
        {"tbNewPlayList", "New", "Create a new Play List", "tbbShortcut", "Shortcut"},
        {"tbOpenPlayList", "Open", "Open an existing Play List", "tbbMerge", "Merge"},
        {"tbSavePlayList", "Save", "Save selected Play List", "tbbSaveAs", "Save As"},
        {"tbSeparator", "", nullptr, nullptr, nullptr},
        {"tbAdd", "Add", "Add media file(s)", "tbbAddWizard", "Add Wizard"},
        {"tbRemove", "Remove", "Remove selected media file(s)", nullptr, nullptr},
        {"tbView", "View", nullptr, nullptr, nullptr},
    };
    const QList<QAction *> actions = a.tbTools->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const ButtonRow &row = rows[i];
        SCOPED_TRACE(row.key);
        QAction *action = actions[static_cast<qsizetype>(i)];
        EXPECT_EQ(action->objectName(), QLatin1String(row.key));
        auto *button = qobject_cast<QToolButton *>(a.tbTools->widgetForAction(action));
        if (QLatin1String(row.key) == QLatin1String("tbSeparator")) {
            EXPECT_EQ(button, nullptr);
            EXPECT_EQ(a.tbTools->widgetForAction(action), a.tbSeparator);
            EXPECT_EQ(a.tbSeparator->width(), 67); // 1000 twips
            continue;
        }
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(action->text(), QLatin1String(row.caption));
        if (row.toolTip) {
            EXPECT_EQ(action->toolTip(), QLatin1String(row.toolTip));
        }
        if (row.dropDownKey) {
            EXPECT_EQ(button->popupMode(), QToolButton::MenuButtonPopup);
            ASSERT_NE(button->menu(), nullptr);
            ASSERT_EQ(button->menu()->actions().size(), 1);
            EXPECT_EQ(button->menu()->actions()[0]->objectName(), QLatin1String(row.dropDownKey));
            EXPECT_EQ(button->menu()->actions()[0]->text(), QLatin1String(row.dropDownCaption));
        }
    }
    EXPECT_EQ(a.buttonFor(a.tbRemove)->menu(), nullptr);
    EXPECT_EQ(a.buttonFor(a.tbView)->popupMode(), QToolButton::MenuButtonPopup);
    EXPECT_EQ(a.buttonFor(a.tbView)->menu(), a.mnuView);
    EXPECT_EQ(a.toolButtons(), (QList<QAction *>{a.tbNewPlayList, a.tbOpenPlayList,
                                                 a.tbSavePlayList, a.tbAdd, a.tbRemove, a.tbView}));
}

TEST_F(MainActionsTest, ViewModesAreExclusiveWithDetailsCheckedAtStart)
{
    EXPECT_EQ(a.checkedViewMode(), 3);
    EXPECT_TRUE(a.mnuViewMode[3]->isChecked());
    for (int mode : {0, 2, 1, 3}) {
        a.mnuViewMode[static_cast<size_t>(mode)]->trigger();
        EXPECT_EQ(a.checkedViewMode(), mode);
        int checked = 0;
        for (QAction *item : a.mnuViewMode)
            checked += item->isChecked() ? 1 : 0;
        EXPECT_EQ(checked, 1);
    }
    // Choosing the checked mode again keeps it checked.
    a.mnuViewMode[3]->trigger();
    EXPECT_TRUE(a.mnuViewMode[3]->isChecked());

    a.checkViewMode(1);
    EXPECT_EQ(a.checkedViewMode(), 1);
    EXPECT_FALSE(a.mnuViewMode[3]->isChecked());
    a.checkViewMode(4);
    EXPECT_EQ(a.checkedViewMode(), 1);
}

TEST_F(MainActionsTest, TextLabelsOffEmptiesAllSixteenCaptionsAndOnRestoresThem)
{
    a.applyTextLabels(kCaptions, true, player.buttons());
    QApplication::processEvents();
    const int highTools = a.tbTools->sizeHint().height();
    const int highPlayer = tbPlayer->sizeHint().height();

    a.applyTextLabels(kCaptions, false, player.buttons());
    QApplication::processEvents();
    for (QAction *button : a.toolButtons())
        EXPECT_EQ(button->text(), QString()) << button->objectName().toStdString();
    for (QAction *button : player.buttons())
        EXPECT_EQ(button->text(), QString()) << button->objectName().toStdString();
    EXPECT_LT(a.tbTools->sizeHint().height(), highTools);
    EXPECT_LT(tbPlayer->sizeHint().height(), highPlayer);
    // Tool tips stay.
    EXPECT_EQ(a.tbNewPlayList->toolTip(), QStringLiteral("Create a new Play List"));
    EXPECT_EQ(player.tbRepeat->toolTip(), QStringLiteral("Repeat"));

    a.applyTextLabels(kCaptions, true, player.buttons());
    QApplication::processEvents();
    std::vector<QString> shown;
    for (QAction *button : a.toolButtons())
        shown.push_back(button->text());
    for (QAction *button : player.buttons())
        shown.push_back(button->text());
    EXPECT_EQ(shown, std::vector<QString>(kCaptions.begin(), kCaptions.end()));
    EXPECT_EQ(a.tbTools->sizeHint().height(), highTools);
}

TEST_F(MainActionsTest, WhilePlayingTheLibraryCommandsAreLocked)
{
    a.setPlayListCommandsEnabled(false);
    for (QAction *locked : {a.tbNewPlayList, a.tbOpenPlayList, a.tbSavePlayList})
        EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
    EXPECT_FALSE(a.mnuPL->menuAction()->isEnabled());
    for (QAction *free :
         {a.tbAdd, a.tbRemove, a.tbView, a.mnuView->menuAction(), a.mnuHelp->menuAction()})
        EXPECT_TRUE(free->isEnabled()) << free->objectName().toStdString();

    a.setPlayListCommandsEnabled(true);
    for (QAction *unlocked :
         {a.tbNewPlayList, a.tbOpenPlayList, a.tbSavePlayList, a.mnuPL->menuAction()})
        EXPECT_TRUE(unlocked->isEnabled());
}

TEST_F(MainActionsTest, FadeOutAndPlayNeedsSomethingPlaying)
{
    EXPECT_FALSE(fadeOutAndPlayEnabled(true));
    EXPECT_TRUE(fadeOutAndPlayEnabled(false));
}

TEST_F(MainActionsTest, TheViewArrowOpensTheViewMenuBelowTheButton)
{
    QToolButton *view = a.buttonFor(a.tbView);
    const QPoint expectedAt =
        a.tbTools->mapToGlobal(QPoint(view->geometry().left(), a.tbTools->height()));
    EXPECT_EQ(a.viewMenuPosition(), expectedAt);

    int clicked = 0;
    QObject::connect(a.tbView, &QAction::triggered, [&clicked] { ++clicked; });
    // Should the menu ever open in a nested loop, close it rather than hang.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    });
    guard.start(2000);
    const QPoint arrow(view->width() - 3, view->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, arrow, view->mapToGlobal(arrow), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &press);
    EXPECT_TRUE(a.mnuView->isVisible());
    EXPECT_EQ(a.mnuView->pos(), expectedAt);
    EXPECT_EQ(clicked, 0);
    a.mnuView->close();

    // The button's face steps the view instead.
    const QPoint face(3, view->height() / 2);
    QMouseEvent down(QEvent::MouseButtonPress, face, view->mapToGlobal(face), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QMouseEvent up(QEvent::MouseButtonRelease, face, view->mapToGlobal(face), Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &down);
    QApplication::sendEvent(view, &up);
    EXPECT_FALSE(a.mnuView->isVisible());
    EXPECT_EQ(clicked, 1);
}

} // namespace
