#pragma once

#include "core/settingkey.h"

class SettingsStore;

// The even-loudness options, kept with the other preferences.
namespace LoudnessSettings {

inline constexpr SettingKey kEvenLoudness{kPreferencesSection, "Loudness_Even", "1"};
// The loudness every song is brought to, in LUFS.
inline constexpr SettingKey kTarget{kPreferencesSection, "Loudness_Target", "-18"};
inline constexpr SettingKey kUseGainTags{kPreferencesSection, "Loudness_UseGainTags", "1"};

inline constexpr int kMinTargetLufs = -23;
inline constexpr int kMaxTargetLufs = -14;

struct Options
{
    bool even = true;
    int targetLufs = -18;
    bool useGainTags = true;
};

// The stored options; a target out of range or not a number reads as the
// nearest bound or the default.
Options read(const SettingsStore &settings);
void write(SettingsStore &settings, const Options &options);

} // namespace LoudnessSettings
