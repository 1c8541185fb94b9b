#pragma once

#include "loudness/loudnesssettings.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QSpinBox;

// The "Loudness" page of the preferences: even loudness on or off, its
// target, and whether gain tags in the files count. With a player that
// cannot give each song its own gain the page says so.
class LoudnessPage : public QWidget
{
    Q_OBJECT

public:
    // `songGain`: the player in use can apply a gain per song; `playerName`
    // names it otherwise.
    LoudnessPage(bool songGain, const QString &playerName, QWidget *parent = nullptr);

    void load(const LoudnessSettings::Options &options);
    LoudnessSettings::Options options() const;

private:
    void enableByChoice();

    QCheckBox *m_chkEvenLoudness;
    QSpinBox *m_udTarget;
    QCheckBox *m_chkUseGainTags;
};
