#include "frmschedule.h"

#include "core/userdialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kClosedChoice = 0;

template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QString dateTitle(const QDate &date, const SchedulePlan &plan)
{
    QString title = QLocale::c().toString(date, QStringLiteral("ddd d MMM yyyy"));
    if (plan.closedDate(date))
        title += QStringLiteral(" (closed)");
    return title;
}

} // namespace

frmSchedule::frmSchedule(const SchedulePlan &plan, const QString &problem, UserDialogs &dialogs,
                         Hooks hooks, QWidget *parent)
    : QDialog(parent)
    , m_plan(plan)
    , m_dialogs(dialogs)
    , m_hooks(std::move(hooks))
    , m_chkFollow(named(new QCheckBox(QStringLiteral("&Follow the schedule"), this), "chkFollow"))
    , m_lblProblem(named(new QLabel(this), "lblProblem"))
    , m_lstDays(named(new QListWidget(this), "lstDays"))
    , m_tvSlots(named(new QTreeWidget(this), "tvSlots"))
    , m_txtStart(named(new QTimeEdit(this), "txtStart"))
    , m_cmbPlays(named(new QComboBox(this), "cmbPlays"))
    , m_cmbOrder(named(new QComboBox(this), "cmbOrder"))
    , m_chkLetFinish(named(new QCheckBox(QStringLiteral("&Let the song finish"), this),
                           "chkLetFinish"))
    , m_cmdAdd(named(new QPushButton(QStringLiteral("&Add"), this), "cmdAdd"))
    , m_cmdChange(named(new QPushButton(QStringLiteral("C&hange"), this), "cmdChange"))
    , m_cmdRemove(named(new QPushButton(QStringLiteral("&Remove"), this), "cmdRemove"))
    , m_cmdCopy(named(new QPushButton(QStringLiteral("&Copy to Checked Days"), this), "cmdCopy"))
    , m_dtDate(named(new QDateEdit(this), "dtDate"))
    , m_cmdAddDate(named(new QPushButton(QStringLiteral("Own &Plan"), this), "cmdAddDate"))
    , m_cmdClosedDate(named(new QPushButton(QStringLiteral("Clo&sed"), this), "cmdClosedDate"))
    , m_cmdRemoveDate(named(new QPushButton(QStringLiteral("Remove &Date"), this), "cmdRemoveDate"))
{
    setObjectName(QStringLiteral("frmSchedule"));
    setWindowTitle(QStringLiteral("Schedule"));

    m_lblProblem->setWordWrap(true);
    m_lblProblem->setStyleSheet(QStringLiteral("color: #b00000;"));
    m_lblProblem->setText(problem.isEmpty()
                              ? QString()
                              : QStringLiteral("The schedule file could not be read (%1). The "
                                               "schedule is off; the file stays as it is until "
                                               "a plan is saved here.")
                                    .arg(problem));
    m_lblProblem->setVisible(!problem.isEmpty());

    m_lstDays->setMaximumWidth(200);
    m_tvSlots->setRootIsDecorated(false);
    m_tvSlots->setHeaderLabels({QStringLiteral("Start"), QStringLiteral("Plays"),
                                QStringLiteral("Order"), QStringLiteral("At the start")});
    m_tvSlots->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_txtStart->setDisplayFormat(QStringLiteral("HH:mm"));
    m_cmbOrder->addItems({QStringLiteral("In order"), QStringLiteral("Random")});
    m_chkLetFinish->setChecked(true);
    m_dtDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_dtDate->setCalendarPopup(true);
    m_dtDate->setDate(QDate::currentDate());

    auto *editor = new QGroupBox(QStringLiteral("Slot"), this);
    auto *form = new QFormLayout(editor);
    form->addRow(QStringLiteral("S&tart:"), m_txtStart);
    form->addRow(QStringLiteral("Pla&ys:"), m_cmbPlays);
    form->addRow(QStringLiteral("&Order:"), m_cmbOrder);
    form->addRow(QString(), m_chkLetFinish);
    auto *slotButtons = new QHBoxLayout;
    slotButtons->addWidget(m_cmdAdd);
    slotButtons->addWidget(m_cmdChange);
    slotButtons->addWidget(m_cmdRemove);
    slotButtons->addStretch();
    form->addRow(slotButtons);

    auto *copy = new QHBoxLayout;
    copy->addWidget(new QLabel(QStringLiteral("Copy this day to:"), this));
    for (int day = 0; day < SchedulePlan::kDays; ++day) {
        auto *box = new QCheckBox(scheduleDayName(day).left(3), this);
        box->setObjectName(QStringLiteral("chkCopy%1").arg(day));
        m_chkCopy[static_cast<size_t>(day)] = box;
        copy->addWidget(box);
    }
    copy->addWidget(m_cmdCopy);
    copy->addStretch();

    auto *dates = new QHBoxLayout;
    dates->addWidget(new QLabel(QStringLiteral("Date:"), this));
    dates->addWidget(m_dtDate);
    dates->addWidget(m_cmdAddDate);
    dates->addWidget(m_cmdClosedDate);
    dates->addWidget(m_cmdRemoveDate);
    dates->addStretch();

    auto *right = new QVBoxLayout;
    right->addWidget(m_tvSlots, 1);
    right->addWidget(editor);
    right->addLayout(copy);
    right->addLayout(dates);
    auto *middle = new QHBoxLayout;
    middle->addWidget(m_lstDays);
    middle->addLayout(right, 1);

    auto *close = named(new QPushButton(QStringLiteral("Close"), this), "cmdClose");
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_chkFollow);
    layout->addWidget(m_lblProblem);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    resize(760, 520);

    connect(m_chkFollow, &QCheckBox::clicked, this, [this] { chkFollow_Click(); });
    connect(m_lstDays, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0)
            return;
        const QVariant day = m_lstDays->item(row)->data(Qt::UserRole);
        if (day.typeId() == QMetaType::QDate) {
            m_weekday = -1;
            m_date = day.toDate();
        } else {
            m_weekday = day.toInt();
            m_date = QDate();
        }
        fillSlots();
    });
    connect(m_tvSlots, &QTreeWidget::currentItemChanged, this, [this] { slotChosen(); });
    connect(m_cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(m_cmdChange, &QPushButton::clicked, this, [this] { cmdChange_Click(); });
    connect(m_cmdRemove, &QPushButton::clicked, this, [this] { cmdRemove_Click(); });
    connect(m_cmdCopy, &QPushButton::clicked, this, [this] { cmdCopy_Click(); });
    connect(m_cmdAddDate, &QPushButton::clicked, this, [this] { cmdAddDate_Click(false); });
    connect(m_cmdClosedDate, &QPushButton::clicked, this, [this] { cmdAddDate_Click(true); });
    connect(m_cmdRemoveDate, &QPushButton::clicked, this, [this] { cmdRemoveDate_Click(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    refresh();
}

void frmSchedule::setPlan(const SchedulePlan &plan)
{
    m_plan = plan;
    refresh();
}

void frmSchedule::refresh()
{
    m_chkFollow->setChecked(m_plan.follow);
    fillLists();
    fillDays();
    fillSlots();
}

void frmSchedule::showDay(int weekday)
{
    m_lstDays->setCurrentRow(weekday);
}

void frmSchedule::showDate(const QDate &date)
{
    for (int row = 0; row < m_lstDays->count(); ++row) {
        if (m_lstDays->item(row)->data(Qt::UserRole).toDate() == date)
            m_lstDays->setCurrentRow(row);
    }
}

DayPlan *frmSchedule::shownDay()
{
    if (m_weekday >= 0)
        return &m_plan.week[static_cast<size_t>(m_weekday)];
    const auto own = m_plan.exceptions.find(m_date);
    return own == m_plan.exceptions.end() ? nullptr : &*own;
}

std::optional<ScheduleSlot> frmSchedule::editedSlot() const
{
    const QTime time = m_txtStart->time();
    const QTime start(time.hour(), time.minute());
    if (m_cmbPlays->currentIndex() == kClosedChoice)
        return ScheduleSlot::closedAt(start);
    if (m_cmbPlays->currentIndex() < 0)
        return std::nullopt;
    return ScheduleSlot::playing(start, m_cmbPlays->currentText(), m_cmbOrder->currentIndex() == 1,
                                 m_chkLetFinish->isChecked());
}

void frmSchedule::slotChosen()
{
    const DayPlan *day = shownDay();
    const int index = m_tvSlots->indexOfTopLevelItem(m_tvSlots->currentItem());
    if (!day || index < 0 || index >= day->size())
        return;
    const ScheduleSlot &slot = (*day)[index];
    m_txtStart->setTime(slot.start);
    if (slot.closed) {
        m_cmbPlays->setCurrentIndex(kClosedChoice);
    } else {
        if (m_cmbPlays->findText(slot.list) < 0)
            m_cmbPlays->addItem(slot.list);
        m_cmbPlays->setCurrentIndex(m_cmbPlays->findText(slot.list));
        m_cmbOrder->setCurrentIndex(slot.random ? 1 : 0);
        m_chkLetFinish->setChecked(slot.letFinish);
    }
}

void frmSchedule::cmdAdd_Click()
{
    const DayPlan *day = shownDay();
    const std::optional<ScheduleSlot> slot = editedSlot();
    if (!day || !slot)
        return;
    const DayPlanChange change = addSlot(*day, *slot);
    if (!change.plan) {
        refuse(change.refusal);
        return;
    }
    commitShownDay(*change.plan);
}

void frmSchedule::cmdChange_Click()
{
    const DayPlan *day = shownDay();
    const std::optional<ScheduleSlot> slot = editedSlot();
    const int index = m_tvSlots->indexOfTopLevelItem(m_tvSlots->currentItem());
    if (!day || !slot || index < 0)
        return;
    const DayPlanChange change = replaceSlot(*day, index, *slot);
    if (!change.plan) {
        refuse(change.refusal);
        return;
    }
    commitShownDay(*change.plan);
}

void frmSchedule::cmdRemove_Click()
{
    const DayPlan *day = shownDay();
    const int index = m_tvSlots->indexOfTopLevelItem(m_tvSlots->currentItem());
    if (!day || index < 0 || index >= day->size())
        return;
    DayPlan changed = *day;
    changed.removeAt(index);
    commitShownDay(changed);
}

void frmSchedule::commitShownDay(const DayPlan &day)
{
    SchedulePlan plan = m_plan;
    if (m_weekday >= 0)
        plan.week[static_cast<size_t>(m_weekday)] = day;
    else
        plan.exceptions[m_date] = day;
    commit(plan);
}

void frmSchedule::cmdCopy_Click()
{
    const DayPlan *day = shownDay();
    if (!day)
        return;
    SchedulePlan plan = m_plan;
    bool any = false;
    for (int target = 0; target < SchedulePlan::kDays; ++target) {
        QCheckBox *box = m_chkCopy[static_cast<size_t>(target)];
        if (box->isChecked() && target != m_weekday) {
            plan.week[static_cast<size_t>(target)] = *day;
            any = true;
        }
        box->setChecked(false);
    }
    if (any)
        commit(plan);
}

void frmSchedule::cmdAddDate_Click(bool closed)
{
    const QDate date = m_dtDate->date();
    SchedulePlan plan = m_plan;
    if (closed) {
        plan.exceptions[date] = {ScheduleSlot::closedAt(QTime(0, 0))};
    } else {
        if (plan.exceptions.contains(date)) {
            refuse(QStringLiteral("%1 has a plan of its own already.")
                       .arg(date.toString(Qt::ISODate)));
            return;
        }
        // A date starts with its weekday's plan, to be changed from there.
        plan.exceptions[date] = plan.dayPlan(date);
    }
    commit(plan);
    showDate(date);
}

void frmSchedule::cmdRemoveDate_Click()
{
    if (m_weekday >= 0)
        return;
    SchedulePlan plan = m_plan;
    plan.exceptions.remove(m_date);
    const int weekday = m_date.dayOfWeek() - 1;
    commit(plan);
    showDay(weekday);
}

void frmSchedule::chkFollow_Click()
{
    SchedulePlan plan = m_plan;
    plan.follow = m_chkFollow->isChecked();
    commit(plan);
}

void frmSchedule::commit(SchedulePlan plan)
{
    if (m_hooks.save && !m_hooks.save(plan)) {
        refresh();
        return;
    }
    m_plan = std::move(plan);
    m_lblProblem->hide();
    refresh();
}

void frmSchedule::refuse(const QString &text)
{
    m_dialogs.messageBox(QStringLiteral("Schedule"), text, DialogButtons::Ok, DialogIcon::Warning);
}

void frmSchedule::fillLists()
{
    const QString chosen = m_cmbPlays->currentText();
    m_cmbPlays->clear();
    m_cmbPlays->addItem(QStringLiteral("Closed"));
    if (m_hooks.lists)
        m_cmbPlays->addItems(m_hooks.lists());
    const int again = m_cmbPlays->findText(chosen);
    m_cmbPlays->setCurrentIndex(again >= 0 ? again : (m_cmbPlays->count() > 1 ? 1 : 0));
}

void frmSchedule::fillDays()
{
    const QSignalBlocker quiet(m_lstDays);
    m_lstDays->clear();
    for (int day = 0; day < SchedulePlan::kDays; ++day) {
        auto *item = new QListWidgetItem(scheduleDayName(day), m_lstDays);
        item->setData(Qt::UserRole, day);
    }
    for (auto it = m_plan.exceptions.constBegin(); it != m_plan.exceptions.constEnd(); ++it) {
        auto *item = new QListWidgetItem(dateTitle(it.key(), m_plan), m_lstDays);
        item->setData(Qt::UserRole, it.key());
    }
    if (m_weekday < 0 && !m_plan.exceptions.contains(m_date)) {
        m_weekday = m_date.isValid() ? m_date.dayOfWeek() - 1 : 0;
        m_date = QDate();
    }
    if (m_weekday >= 0) {
        m_lstDays->setCurrentRow(m_weekday);
    } else {
        for (int row = 0; row < m_lstDays->count(); ++row) {
            if (m_lstDays->item(row)->data(Qt::UserRole).toDate() == m_date)
                m_lstDays->setCurrentRow(row);
        }
    }
}

void frmSchedule::fillSlots()
{
    const int chosen = m_tvSlots->indexOfTopLevelItem(m_tvSlots->currentItem());
    const QSignalBlocker quiet(m_tvSlots);
    m_tvSlots->clear();
    const DayPlan *day = shownDay();
    m_cmdRemoveDate->setEnabled(m_weekday < 0);
    if (!day)
        return;
    const std::optional<SlotStart> running =
        m_hooks.running && m_plan.follow ? m_hooks.running() : std::nullopt;
    const bool runningHere =
        running && (m_weekday >= 0 ? !m_plan.exceptions.contains(running->day) &&
                                         running->day.dayOfWeek() - 1 == m_weekday
                                   : running->day == m_date);
    for (int index = 0; index < day->size(); ++index) {
        const ScheduleSlot &slot = (*day)[index];
        auto *item = new QTreeWidgetItem(m_tvSlots);
        const bool now = runningHere && running->index == index;
        item->setText(0, (now ? QStringLiteral("\u25B6 ") : QString()) + slotTimeText(slot.start));
        item->setText(1, slot.closed ? QStringLiteral("Closed") : slot.list);
        item->setText(2, slot.closed ? QString()
                                     : (slot.random ? QStringLiteral("Random")
                                                    : QStringLiteral("In order")));
        item->setText(3, slot.closed ? QStringLiteral("Fade out")
                                     : (slot.letFinish ? QStringLiteral("Let the song finish")
                                                       : QStringLiteral("Fade out")));
        if (now) {
            item->setToolTip(0, QStringLiteral("Runs now"));
            for (int column = 0; column < 4; ++column) {
                QFont font = item->font(column);
                font.setBold(true);
                item->setFont(column, font);
            }
        }
    }
    if (chosen >= 0 && chosen < m_tvSlots->topLevelItemCount())
        m_tvSlots->setCurrentItem(m_tvSlots->topLevelItem(chosen));
}
