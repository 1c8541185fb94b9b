#include "loudnesssettings.h"

#include "core/settingsstore.h"
#include "core/settingvalues.h"

#include <algorithm>
#include <cmath>

namespace LoudnessSettings {

Options read(const SettingsStore &settings)
{
    Options options;
    options.even = settingFlag(settings.value(kEvenLoudness)).value_or(true);
    options.useGainTags = settingFlag(settings.value(kUseGainTags)).value_or(true);
    const std::optional<double> target = settingNumber(settings.value(kTarget));
    if (target && std::isfinite(*target))
        options.targetLufs = static_cast<int>(
            std::lround(std::clamp(*target, double(kMinTargetLufs), double(kMaxTargetLufs))));
    return options;
}

void write(SettingsStore &settings, const Options &options)
{
    settings.save(kEvenLoudness, onOffText(options.even));
    settings.save(kTarget, QString::number(
                               std::clamp(options.targetLufs, kMinTargetLufs, kMaxTargetLufs)));
    settings.save(kUseGainTags, onOffText(options.useGainTags));
}

} // namespace LoudnessSettings
