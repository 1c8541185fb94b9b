#include "mixerwindow.h"

#include "core/eventlog.h"
#include "helpcontents.h"
#include "mixer/frmmixer.h"
#include "mixer/mixerline.h"
#include "mixer/mixerlines.h"
#include "mixer/vuhost.h"
#include "playback/playbacksequencer.h"
#include "playback/playeractions.h"
#include "playback/playerlink.h"
#include "screenfit.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>

frmMixer *createMixerWindow(SettingsStore &settings, PlayerLink &link, PlaybackSequencer &sequencer,
                            const PlayerActions &actions, EventLog &log, QWidget *parent)
{
    QString why;
    QString loadedFrom;
    QWidget *vuMeter = VuHost::createVuMeter(VuHost::defaultFolders(), nullptr, &why, &loadedFrom);
    log.write(vuMeter ? QStringLiteral("VU Meter loaded from ") + loadedFrom
                      : QStringLiteral("VU Meter not loaded: ") + why);
    log.write(QStringLiteral("Help pages at ") +
              QFileInfo(helpIndexPath(QCoreApplication::applicationDirPath())).absolutePath());

    QAction *play = actions.tbPlay;
    QAction *next = actions.tbNext;
    QAction *mixerButton = actions.tbMixer;
    frmMixer::Hooks hooks;
    hooks.playPressed = [play] { return play->isChecked(); };
    hooks.pressNext = [&sequencer, next] { sequencer.tbPlayer_ButtonClick(next->objectName()); };
    hooks.hiddenByUser = [mixerButton] { mixerButton->setChecked(false); };
    auto *mixer = new frmMixer(
        settings, link, vuMeter,
        [&link](int linecontrol) { return makeMixerLine(linecontrol, link); }, std::move(hooks),
        parent);
    // The meter rests while no music plays.
    mixer->followMusic(play, actions.tbPause);
    // A place stored on another screen (or a larger one) comes onto this one,
    // as the main window's does.
    fitIntoScreen(mixer);
    new FitIntoScreenOnShow(mixer);
    return mixer;
}
