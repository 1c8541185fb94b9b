#include "mixerlines.h"

#include "fader.h"
#include "pulsesinkline.h"
#include "toneline.h"

std::unique_ptr<MixerLine> makeMixerLine(int linecontrol, PlayerLink &link)
{
    switch (linecontrol) {
    case Fader::kMasterLine:
#ifdef _WIN32
        return std::make_unique<UnavailableLine>(
            QStringLiteral("The master line is not built for this system yet."));
#else
        return std::make_unique<PulseSinkLine>();
#endif
    case Fader::kBassLine:
        return std::make_unique<ToneLine>(link, PlayerLink::ToneBand::Bass);
    case Fader::kTrebleLine:
        return std::make_unique<ToneLine>(link, PlayerLink::ToneBand::Treble);
    case Fader::kMidiLine:
        return std::make_unique<UnavailableLine>(
            QStringLiteral("There is no MIDI line to control on this system."));
    case Fader::kCdLine:
        return std::make_unique<UnavailableLine>(
            QStringLiteral("There is no CD line to control on this system."));
    default:
        return std::make_unique<UnavailableLine>(QStringLiteral("No such line on this system."));
    }
}
