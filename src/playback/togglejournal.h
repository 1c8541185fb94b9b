#pragma once

#include <QList>
#include <QPointer>

class QAction;

// Remembers what Qt's own toggling did to a set of checkable actions when one
// of them was triggered, so that a refused command can put the pressed
// buttons back as they were: the triggered action's previous state and the
// member of its group that the trigger released.
//
// Contract: a trigger's toggles are the last ones recorded before its
// `triggered` signal. An action of an exclusive group that is triggered while
// already pressed toggles nothing; it is told apart from a fresh press only
// if no code pressed that same action since the last undo() or forget().
class ToggleJournal
{
public:
    void watch(const QList<QAction *> &actions);

    // Reverts what triggering `action` toggled; nothing when it toggled
    // nothing. Forgets the record either way.
    void undo(QAction *action);
    // Takes the toggles recorded so far as settled.
    void forget();

private:
    void toggled(QAction *action, bool checked);

    struct Toggle
    {
        QPointer<QAction> action;
        bool before = false;
        // Released by the same toggle, through the action's group.
        QPointer<QAction> released;
    };
    Toggle m_last;
    // A group member just released while another member was pressed: the
    // first half of one exclusive toggle.
    QPointer<QAction> m_released;
    QPointer<QAction> m_releasedBy;
    bool m_undoing = false;
};
