#include "togglejournal.h"

#include <QAction>
#include <QActionGroup>

void ToggleJournal::watch(const QList<QAction *> &actions)
{
    for (QAction *action : actions) {
        if (!action->isCheckable())
            continue;
        QObject::connect(action, &QAction::toggled, action,
                         [this, action](bool checked) { toggled(action, checked); });
    }
}

void ToggleJournal::toggled(QAction *action, bool checked)
{
    if (m_undoing)
        return;
    if (!checked) {
        // A group releases its pressed member after pressing the new one, so
        // a release while another member is pressed belongs to that press.
        if (const QActionGroup *group = action->actionGroup()) {
            for (QAction *member : group->actions()) {
                if (member != action && member->isChecked()) {
                    m_released = action;
                    m_releasedBy = member;
                    return;
                }
            }
        }
    }
    m_last = Toggle{action, !checked, nullptr};
    if (checked && m_releasedBy == action)
        m_last.released = m_released;
    m_released = nullptr;
    m_releasedBy = nullptr;
}

void ToggleJournal::undo(QAction *action)
{
    const Toggle last = m_last;
    forget();
    if (!action || last.action != action)
        return;
    m_undoing = true;
    if (last.released)
        last.released->setChecked(true); // its group releases `action`
    action->setChecked(last.before);
    m_undoing = false;
}

void ToggleJournal::forget()
{
    m_last = Toggle{};
    m_released = nullptr;
    m_releasedBy = nullptr;
}
