#pragma once

#include <QString>

class QAction;
class QActionGroup;
class QObject;

// The commands of the player toolbar tbPlayer, as checkable actions that
// hold the toolbar's state: group A (Prev, Play, Pause) and group B
// (Continue, Random) are exclusive; Stop, Repeat and Mixer are check buttons.
// Each action's objectName is its key.
struct PlayerActions
{
    QAction *tbPrev = nullptr;
    QAction *tbPlay = nullptr;
    QAction *tbPause = nullptr;
    QAction *tbStop = nullptr;
    QAction *tbNext = nullptr;
    QAction *tbContinue = nullptr;
    QAction *tbRandom = nullptr;
    QAction *tbRepeat = nullptr;
    QAction *tbMixer = nullptr;
    QAction *tbPreferences = nullptr;
    // Drop-down items of Stop and Next.
    QAction *tbbFadeOut = nullptr;
    QAction *tbbFadeOutNext = nullptr;

    QActionGroup *groupA = nullptr;
    QActionGroup *groupB = nullptr;

    static PlayerActions create(QObject *parent);

    // The ten buttons in toolbar order.
    QList<QAction *> buttons() const;
    QAction *byKey(const QString &key) const;
};
