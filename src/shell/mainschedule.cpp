#include "mainschedule.h"

#include "core/eventlog.h"
#include "core/userdialogs.h"
#include "library/accessiblenames.h"
#include "library/playlistcommands.h"
#include "library/playlistlibrarymodel.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "schedule/frmschedule.h"
#include "schedule/libraryscheduleplayer.h"
#include "schedule/scheduleclock.h"
#include "schedule/schedulefile.h"
#include "schedule/schedulerunner.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

MainSchedule::MainSchedule(const Parts &parts)
    : QObject(parts.window)
    , m_parts(parts)
{
    ScheduleClock *clock = parts.clock;
    if (!clock) {
        m_ownClock = std::make_unique<SystemScheduleClock>();
        clock = m_ownClock.get();
    }
    m_player = std::make_unique<LibrarySchedulePlayer>(
        *parts.store, *parts.commands, *parts.library, *parts.librarySelection, *parts.songs,
        *parts.sequencer, *parts.actions);
    m_player->setReporter([this](const QString &text) { report(text); });
    m_runner = std::make_unique<ScheduleRunner>(*clock, *m_player);
    connect(m_player.get(), &LibrarySchedulePlayer::userTookOver, m_runner.get(),
            &ScheduleRunner::userTookOver);
    connect(m_player.get(), &LibrarySchedulePlayer::playerFree, m_runner.get(),
            &ScheduleRunner::playerFree);
    ScheduleRunner *runner = m_runner.get();
    parts.sequencer->setSongEndHandler([runner] { return runner->songEnded(); });
    parts.commands->setDeleteCheck([this](const QStringList &names) { return confirmDelete(names); });
    parts.commands->setRenameListener(
        [this](const QString &oldName, const QString &newName) { renamed(oldName, newName); });

    m_pSchedule = new QLabel(parts.window->statusBar());
    m_pSchedule->setObjectName(QStringLiteral("pSchedule"));
    m_pSchedule->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_pSchedule->hide();
    parts.window->statusBar()->addPermanentWidget(m_pSchedule);
    connect(m_runner.get(), &ScheduleRunner::statusChanged, this, [this](const QString &text) {
        m_pSchedule->setText(text);
        m_pSchedule->setVisible(!text.isEmpty());
        if (m_window)
            m_window->refresh();
    });

    m_mnuPLSchedule = new QAction(QStringLiteral("Sc&hedule..."), parts.window);
    m_mnuPLSchedule->setObjectName(QStringLiteral("mnuPLSchedule"));
    parts.playListMenu->addSeparator();
    parts.playListMenu->addAction(m_mnuPLSchedule);
    connect(m_mnuPLSchedule, &QAction::triggered, this, &MainSchedule::mnuPLSchedule_Click);

    m_tbSchedule = new QAction(QStringLiteral("Sched"), parts.window);
    m_tbSchedule->setObjectName(QStringLiteral("tbSchedule"));
    m_tbSchedule->setToolTip(QStringLiteral("Day schedule"));
    m_tbSchedule->setIcon(QIcon::fromTheme(QStringLiteral("x-office-calendar"),
                                           QIcon::fromTheme(QStringLiteral("appointment-new"))));
    // Beside Mixer: before whatever follows it on the toolbar.
    const QList<QAction *> buttons = parts.tbPlayer->actions();
    const qsizetype mixer = buttons.indexOf(parts.actions->tbMixer);
    if (mixer >= 0 && mixer + 1 < buttons.size())
        parts.tbPlayer->insertAction(buttons[mixer + 1], m_tbSchedule);
    else
        parts.tbPlayer->addAction(m_tbSchedule);
    nameToolButton(parts.tbPlayer, m_tbSchedule, QStringLiteral("Day schedule"));
    connect(m_tbSchedule, &QAction::triggered, this, &MainSchedule::mnuPLSchedule_Click);
}

MainSchedule::~MainSchedule()
{
    // The sequencer and the commands outlive this; they must not call in.
    m_parts.sequencer->setSongEndHandler({});
    m_parts.commands->setDeleteCheck({});
    m_parts.commands->setRenameListener({});
    delete m_window;
}

QString MainSchedule::filePath() const
{
    return QDir(m_parts.programFolder).filePath(QLatin1String(ScheduleFile::kFileName));
}

void MainSchedule::start()
{
    const ScheduleFile::ReadResult read = ScheduleFile::read(filePath());
    if (read.plan) {
        SchedulePlan plan = *read.plan;
        const QDate today = QDate::currentDate();
        if (plan.dropExceptionsBefore(today.addDays(-kKeepPastDays)))
            save(plan);
        m_runner->setPlan(plan);
    } else {
        m_problem = read.problem();
        report(QStringLiteral("The schedule file %1 could not be read (%2); the schedule is off")
                   .arg(QDir::toNativeSeparators(filePath()), m_problem));
    }
    m_runner->start();
}

void MainSchedule::mnuPLSchedule_Click()
{
    if (!m_window) {
        frmSchedule::Hooks hooks;
        hooks.save = [this](const SchedulePlan &plan) { return save(plan); };
        hooks.lists = [this] {
            QStringList names;
            for (int row = 0; row < m_parts.library->count(); ++row)
                names << m_parts.library->entry(row).name;
            names.sort(Qt::CaseInsensitive);
            return names;
        };
        hooks.running = [this] { return m_runner->following() ? m_runner->current() : std::nullopt; };
        m_window = new frmSchedule(m_runner->plan(), m_problem, *m_parts.dialogs, std::move(hooks),
                                   m_parts.window);
        m_window->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        m_window->setPlan(m_runner->plan());
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool MainSchedule::save(const SchedulePlan &plan)
{
    const QString failure = ScheduleFile::write(filePath(), plan);
    if (!failure.isEmpty()) {
        m_parts.dialogs->messageBox(QStringLiteral("Schedule"),
                                    QStringLiteral("The schedule could not be saved: %1").arg(failure),
                                    DialogButtons::Ok, DialogIcon::Critical);
        return false;
    }
    m_problem.clear();
    m_runner->setPlan(plan);
    return true;
}

bool MainSchedule::confirmDelete(const QStringList &names)
{
    QStringList uses;
    for (const QString &name : names) {
        const QStringList daySlots = m_runner->plan().slotsUsing(name);
        if (!daySlots.isEmpty())
            uses << QStringLiteral("\"%1\": %2").arg(name, daySlots.join(QStringLiteral(", ")));
    }
    if (uses.isEmpty())
        return true;
    return m_parts.dialogs->messageBox(
               QStringLiteral("Delete Play List"),
               QStringLiteral("The schedule plays these play lists:\n%1\n\nDelete them anyway? "
                              "Those slots will find no list.")
                   .arg(uses.join(QLatin1Char('\n'))),
               DialogButtons::YesNo, DialogIcon::Question) == DialogAnswer::Yes;
}

void MainSchedule::renamed(const QString &oldName, const QString &newName)
{
    SchedulePlan plan = m_runner->plan();
    // A file that could not be read is never written from the empty plan.
    if (m_problem.isEmpty() && plan.renameList(oldName, newName)) {
        const QString failure = ScheduleFile::write(filePath(), plan);
        if (!failure.isEmpty())
            report(QStringLiteral("The schedule could not be saved: %1").arg(failure));
        m_runner->setPlan(plan);
        if (m_window)
            m_window->setPlan(plan);
    }
}

void MainSchedule::report(const QString &text)
{
    if (m_parts.log)
        m_parts.log->write(text);
    m_parts.window->statusBar()->showMessage(text, kStatusNoteMs);
}
