// The Schedule window in the main window, through real clicks: the file in
// the program folder holds exactly what was planned.
#include "library/playlistcommands.h"
#include "library/playlistlibrarymodel.h"
#include "library/playliststore.h"
#include "playback/playeractions.h"
#include "playback/playertoolbar.h"
#include "schedule/frmschedule.h"
#include "schedule/schedulefile.h"
#include "schedule/schedulerunner.h"
#include "shell/mainactions.h"
#include "shell/mainschedule.h"
#include "support/frmmainfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>
#include <QTreeWidget>

namespace {

class frmScheduleTest : public frmMainFixture
{
protected:
    std::unique_ptr<frmMain> startWithLists()
    {
        writeBytes(path(QStringLiteral("Morning.sdf")), threeSongs);
        writeBytes(path(QStringLiteral("Lunch.sdf")), threeSongs);
        auto window = start();
        window->tmrHack_Timer();
        return window;
    }

    std::string file() const
    {
        return readBytes(path(QLatin1String(ScheduleFile::kFileName))).toStdString();
    }

    static void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    // On the box itself: a check box stretched by its layout takes clicks
    // only on its box and text.
    static void click(QCheckBox *box)
    {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    static void clickRow(QTreeWidget *tree, int row)
    {
        const QRect rect = tree->visualItemRect(tree->topLevelItem(row));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static void choose(QComboBox *box, const QString &text)
    {
        box->setCurrentIndex(box->findText(text));
    }
    static void clickDay(QListWidget *days, int row)
    {
        const QRect rect = days->visualItemRect(days->item(row));
        QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, rect.center());
    }
};

TEST_F(frmScheduleTest, SlotsAddedEditedRemovedAndCopiedByClicksAreWhatTheFileHolds)
{
    auto window = startWithLists();
    MainSchedule &schedule = window->schedule();
    EXPECT_FALSE(QFile::exists(schedule.filePath()));
    EXPECT_TRUE(window->mainActions().mnuPL->actions().contains(schedule.mnuPLSchedule()));
    EXPECT_EQ(schedule.tbSchedule()->text(), QStringLiteral("Sched"));
    EXPECT_EQ(schedule.tbSchedule()->toolTip(), QStringLiteral("Day schedule"));
    // Beside Mixer on the player toolbar.
    const QList<QAction *> buttons = window->playerToolBar().actions();
    EXPECT_EQ(buttons.indexOf(schedule.tbSchedule()),
              buttons.indexOf(window->playerActions().tbMixer) + 1);

    auto *button = qobject_cast<QToolButton *>(
        window->playerToolBar().widgetForAction(schedule.tbSchedule()));
    ASSERT_NE(button, nullptr);
    click(button);
    frmSchedule *form = schedule.window();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    EXPECT_EQ(form->lstDays()->currentItem()->text(), QStringLiteral("Monday"));
    EXPECT_EQ(form->cmbPlays()->itemText(0), QStringLiteral("Closed"));

    // Monday: 07:00 Morning, 11:30 Lunch at random with a fade, 19:00 closed.
    form->txtStart()->setTime(QTime(7, 0));
    choose(form->cmbPlays(), QStringLiteral("Morning"));
    click(form->cmdAdd());
    form->txtStart()->setTime(QTime(11, 30));
    choose(form->cmbPlays(), QStringLiteral("Lunch"));
    choose(form->cmbOrder(), QStringLiteral("Random"));
    click(form->chkLetFinish());
    click(form->cmdAdd());
    form->txtStart()->setTime(QTime(19, 0));
    choose(form->cmbPlays(), QStringLiteral("Closed"));
    click(form->cmdAdd());
    // A second slot at 07:00 is refused with a plain message.
    form->txtStart()->setTime(QTime(7, 0));
    click(form->cmdAdd());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("A slot already starts at 07:00 on this day."));
    ASSERT_EQ(form->tvSlots()->topLevelItemCount(), 3);

    // Lunch moves to 12:00; the closed slot goes.
    clickRow(form->tvSlots(), 1);
    EXPECT_EQ(form->txtStart()->time(), QTime(11, 30));
    EXPECT_EQ(form->cmbOrder()->currentText(), QStringLiteral("Random"));
    EXPECT_FALSE(form->chkLetFinish()->isChecked());
    form->txtStart()->setTime(QTime(12, 0));
    click(form->cmdChange());
    clickRow(form->tvSlots(), 2);
    EXPECT_EQ(form->tvSlots()->currentItem()->text(1), QStringLiteral("Closed"));
    click(form->cmdRemove());
    ASSERT_EQ(form->tvSlots()->topLevelItemCount(), 2);
    EXPECT_EQ(form->tvSlots()->topLevelItem(1)->text(0), QStringLiteral("12:00"));

    // Monday's plan to Tuesday and Saturday; Christmas closed; then follow.
    click(form->chkCopyTo(1));
    click(form->chkCopyTo(5));
    click(form->cmdCopy());
    form->dtDate()->setDate(QDate(2099, 12, 25));
    click(form->cmdClosedDate());
    EXPECT_EQ(form->lstDays()->currentItem()->text(), QStringLiteral("Fri 25 Dec 2099 (closed)"));
    click(form->chkFollow());

    const QByteArray monday = "07:00 = \"Morning\", in order, let finish\n"
                              "12:00 = \"Lunch\", random, fade out\n";
    const QByteArray planned = "# VORN day schedule: a slot plays its list from its start time "
                               "until the next slot starts.\n[Schedule]\nFollow = on\n"
                               "\n[Monday]\n" + monday + "\n[Tuesday]\n" + monday +
                               "\n[Wednesday]\n\n[Thursday]\n\n[Friday]\n"
                               "\n[Saturday]\n" + monday + "\n[Sunday]\n"
                               "\n[2099-12-25]\n00:00 = closed\n";
    EXPECT_EQ(file(), planned.toStdString());
    EXPECT_TRUE(schedule.runner().following());
    EXPECT_TRUE(schedule.pSchedule()->isVisible());
    EXPECT_TRUE(schedule.pSchedule()->text().startsWith(QStringLiteral("Schedule")));
    // scripts/screenshot asks for a picture of the window as planned.
    if (const QString folder = qEnvironmentVariable("VORN_SHOT_DIR"); !folder.isEmpty()) {
        clickDay(form->lstDays(), 0);
        EXPECT_TRUE(form->grab().save(folder + QStringLiteral("/shot-schedule.png")));
    }

    // Renaming a list renames it in the schedule.
    const int morning = window->library().findByName(QStringLiteral("Morning"));
    ASSERT_TRUE(window->commands().lvPlayLists_AfterLabelEdit(morning, QStringLiteral("Dawn")));
    QByteArray renamed = planned;
    renamed.replace("\"Morning\"", "\"Dawn\"");
    EXPECT_EQ(file(), renamed.toStdString());
    EXPECT_NE(form->cmbPlays()->findText(QStringLiteral("Dawn")), -1);

    // Deleting a scheduled list asks first, naming its slots; No keeps it.
    window->store().selectPlayList(window->library().findByName(QStringLiteral("Lunch")));
    dialogs.answers.push_back(DialogAnswer::No);
    window->commands().mnuPLDelete_Click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.contains(
        QStringLiteral("\"Lunch\": Monday 12:00, Tuesday 12:00, Saturday 12:00")));
    EXPECT_TRUE(exists(QStringLiteral("Lunch.sdf")));

    // Off: the file says so and the status bar no longer shows the schedule.
    clickDay(form->lstDays(), 0);
    click(form->chkFollow());
    renamed.replace("Follow = on", "Follow = off");
    EXPECT_EQ(file(), renamed.toStdString());
    EXPECT_FALSE(schedule.runner().following());
    EXPECT_FALSE(schedule.pSchedule()->isVisible());

    // Removing the date leaves the week.
    form->showDate(QDate(2099, 12, 25));
    click(form->cmdRemoveDate());
    renamed.replace("\n[2099-12-25]\n00:00 = closed\n", "");
    EXPECT_EQ(file(), renamed.toStdString());
}

TEST_F(frmScheduleTest, ADamagedFileIsReportedKeptAsItIsAndReplacedOnlyByASavedPlan)
{
    const QByteArray damaged = "[Schedule]\nFollow = on\n[Monday]\n07:00 = Morning\n";
    writeBytes(path(QLatin1String(ScheduleFile::kFileName)), damaged);
    auto window = startWithLists();
    MainSchedule &schedule = window->schedule();
    EXPECT_EQ(schedule.problem(),
              QStringLiteral("line 4: expected \"closed\" or a play list name in double quotes"));
    EXPECT_FALSE(schedule.runner().following());
    EXPECT_TRUE(readBytes(path(QStringLiteral("VORN.log"))).contains("line 4"));
    EXPECT_TRUE(dialogs.messages.empty());

    // A rename changes nothing in a file that could not be read.
    const int morning = window->library().findByName(QStringLiteral("Morning"));
    ASSERT_TRUE(window->commands().lvPlayLists_AfterLabelEdit(morning, QStringLiteral("Dawn")));
    EXPECT_EQ(file(), damaged.toStdString());

    window->schedule().mnuPLSchedule()->trigger();
    frmSchedule *form = schedule.window();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->lblProblem()->isVisibleTo(form));
    EXPECT_TRUE(form->lblProblem()->text().contains(QStringLiteral("line 4")));
    form->txtStart()->setTime(QTime(8, 0));
    choose(form->cmbPlays(), QStringLiteral("Closed"));
    click(form->cmdAdd());
    EXPECT_FALSE(form->lblProblem()->isVisibleTo(form));
    EXPECT_NE(file().find("[Monday]\n08:00 = closed\n"), std::string::npos);
    EXPECT_NE(file().find("Follow = off\n"), std::string::npos);
}

} // namespace
