#include "playeractions.h"

#include <QAction>
#include <QActionGroup>

namespace {

QAction *makeAction(QObject *parent, const char *key, const char *caption, const char *toolTip,
                    bool checkable)
{
    auto *action = new QAction(QLatin1String(caption), parent);
    action->setObjectName(QLatin1String(key));
    if (toolTip)
        action->setToolTip(QLatin1String(toolTip));
    action->setCheckable(checkable);
    return action;
}

} // namespace

PlayerActions PlayerActions::create(QObject *parent)
{
    PlayerActions a;
    a.tbPrev = makeAction(parent, "tbPrev", "Prev", "Previous", true);
    a.tbPlay = makeAction(parent, "tbPlay", "Play", "Play", true);
    a.tbPause = makeAction(parent, "tbPause", "Pause", "Pause", true);
    a.tbStop = makeAction(parent, "tbStop", "Stop", "Stop", true);
    a.tbNext = makeAction(parent, "tbNext", "Next", "Next", false);
    a.tbContinue = makeAction(parent, "tbContinue", "Cont", "Continue", true);
    a.tbRandom = makeAction(parent, "tbRandom", "Rand", "Random", true);
    a.tbRepeat = makeAction(parent, "tbRepeat", "Rep", "Repeat", true);
    a.tbMixer = makeAction(parent, "tbMixer", "Mixer", "Show/Hide the mixer window", true);
    a.tbPreferences = makeAction(parent, "tbPreferences", "Pref", "Preferences", false);
    a.tbbFadeOut = makeAction(parent, "tbbFadeOut", "Fade Out && Stop", nullptr, false);
    a.tbbFadeOutNext = makeAction(parent, "tbbFadeOutNext", "Fade Out && Next", nullptr, false);

    // Group A may show no button pressed (while stopped); group B always
    // holds the play order.
    a.groupA = new QActionGroup(parent);
    a.groupA->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *action : {a.tbPrev, a.tbPlay, a.tbPause})
        a.groupA->addAction(action);
    a.groupB = new QActionGroup(parent);
    a.groupB->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    a.groupB->addAction(a.tbContinue);
    a.groupB->addAction(a.tbRandom);
    a.tbContinue->setChecked(true);
    return a;
}

QList<QAction *> PlayerActions::buttons() const
{
    return {tbPrev,     tbPlay,   tbPause,  tbStop,  tbNext,
            tbContinue, tbRandom, tbRepeat, tbMixer, tbPreferences};
}

QAction *PlayerActions::byKey(const QString &key) const
{
    for (QAction *action : buttons()) {
        if (action->objectName() == key)
            return action;
    }
    for (QAction *action : {tbbFadeOut, tbbFadeOutNext}) {
        if (action->objectName() == key)
            return action;
    }
    return nullptr;
}
