#pragma once

#include "scheduleplan.h"
#include "scheduletimeline.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QTimeEdit;
class QTreeWidget;
class UserDialogs;

// The Schedule window: the seven days and the dates with a plan of their
// own, the slots of the chosen day, and the editor of one slot. Every change
// is saved at once through `save`; a change that would give two slots at one
// minute is refused with a message.
class frmSchedule : public QDialog
{
    Q_OBJECT

public:
    struct Hooks
    {
        // Writes and follows the plan; false when it could not be written
        // (the hook has told the user why).
        std::function<bool(const SchedulePlan &plan)> save;
        // The names of the library's play lists.
        std::function<QStringList()> lists;
        // The slot start in effect now, to mark it.
        std::function<std::optional<SlotStart>()> running;
    };

    // `problem` tells why the stored file could not be read; it stays shown
    // until a plan is saved here.
    frmSchedule(const SchedulePlan &plan, const QString &problem, UserDialogs &dialogs,
                Hooks hooks, QWidget *parent = nullptr);

    const SchedulePlan &plan() const { return m_plan; }
    // The day shown: 0 to 6 for the week's days, else the date.
    void showDay(int weekday);
    void showDate(const QDate &date);
    // Shows the plan anew (another plan, a new running slot, new lists).
    void setPlan(const SchedulePlan &plan);
    void refresh();

    QCheckBox *chkFollow() const { return m_chkFollow; }
    QListWidget *lstDays() const { return m_lstDays; }
    QTreeWidget *tvSlots() const { return m_tvSlots; }
    QTimeEdit *txtStart() const { return m_txtStart; }
    QComboBox *cmbPlays() const { return m_cmbPlays; }
    QComboBox *cmbOrder() const { return m_cmbOrder; }
    QCheckBox *chkLetFinish() const { return m_chkLetFinish; }
    QPushButton *cmdAdd() const { return m_cmdAdd; }
    QPushButton *cmdChange() const { return m_cmdChange; }
    QPushButton *cmdRemove() const { return m_cmdRemove; }
    QCheckBox *chkCopyTo(int weekday) const { return m_chkCopy[static_cast<size_t>(weekday)]; }
    QPushButton *cmdCopy() const { return m_cmdCopy; }
    QDateEdit *dtDate() const { return m_dtDate; }
    QPushButton *cmdAddDate() const { return m_cmdAddDate; }
    QPushButton *cmdClosedDate() const { return m_cmdClosedDate; }
    QPushButton *cmdRemoveDate() const { return m_cmdRemoveDate; }
    QLabel *lblProblem() const { return m_lblProblem; }

private:
    // The plan of the day shown, and where it lives in the plan.
    DayPlan *shownDay();
    std::optional<ScheduleSlot> editedSlot() const;
    void slotChosen();
    void cmdAdd_Click();
    void cmdChange_Click();
    void cmdRemove_Click();
    void cmdCopy_Click();
    void cmdAddDate_Click(bool closed);
    void cmdRemoveDate_Click();
    void chkFollow_Click();
    void commit(SchedulePlan plan);
    // The shown weekday or date gets this plan; the rest stays.
    void commitShownDay(const DayPlan &day);
    void refuse(const QString &text);
    void fillDays();
    void fillSlots();
    void fillLists();

    SchedulePlan m_plan;
    UserDialogs &m_dialogs;
    Hooks m_hooks;
    // -1 while a date is shown.
    int m_weekday = 0;
    QDate m_date;

    QCheckBox *m_chkFollow;
    QLabel *m_lblProblem;
    QListWidget *m_lstDays;
    QTreeWidget *m_tvSlots;
    QTimeEdit *m_txtStart;
    QComboBox *m_cmbPlays;
    QComboBox *m_cmbOrder;
    QCheckBox *m_chkLetFinish;
    QPushButton *m_cmdAdd;
    QPushButton *m_cmdChange;
    QPushButton *m_cmdRemove;
    std::array<QCheckBox *, SchedulePlan::kDays> m_chkCopy{};
    QPushButton *m_cmdCopy;
    QDateEdit *m_dtDate;
    QPushButton *m_cmdAddDate;
    QPushButton *m_cmdClosedDate;
    QPushButton *m_cmdRemoveDate;
};
