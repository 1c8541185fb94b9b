#include "winmmpeaksource.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>

WinMmPeakSource::WinMmPeakSource()
{
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_HMIXER) != MMSYSERR_NOERROR)
        return;
    m_mixer = mixer;

    MIXERLINEA line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    if (mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(mixer), &line,
                          MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return;

    MIXERCONTROLA control{};
    control.cbStruct = sizeof(control);
    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof(controls);
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_PEAKMETER;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(control);
    controls.pamxctrl = &control;
    if (mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(mixer), &controls,
                              MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
        return;
    m_controlId = control.dwControlID;
    m_channels = std::clamp<unsigned long>(line.cChannels, 1, 2);
    m_ready = true;
}

WinMmPeakSource::~WinMmPeakSource()
{
    if (m_mixer)
        mixerClose(static_cast<HMIXER>(m_mixer));
}

bool WinMmPeakSource::read(qint32 &left, qint32 &right)
{
    if (!m_ready)
        return false;
    MIXERCONTROLDETAILS_SIGNED readings[2]{};
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof(details);
    details.dwControlID = m_controlId;
    details.cChannels = m_channels;
    details.cMultipleItems = 0;
    details.cbDetails = sizeof(MIXERCONTROLDETAILS_SIGNED);
    details.paDetails = readings;
    if (mixerGetControlDetailsA(reinterpret_cast<HMIXEROBJ>(m_mixer), &details,
                                MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
        return false;
    left = readings[0].lValue;
    right = m_channels > 1 ? readings[1].lValue : readings[0].lValue;
    return true;
}
