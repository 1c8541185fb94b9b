#pragma once

#include "core/settingkey.h"

// Keys owned by the mixer window. MixerX and MixerY (twips) default to a
// quarter of the screen, computed at load.
namespace MixerSettings {

inline constexpr SettingKey kMixerX{kPreferencesSection, "MixerX", ""};
inline constexpr SettingKey kMixerY{kPreferencesSection, "MixerY", ""};
// The index of the silence option chosen in the preferences.
inline constexpr SettingKey kSilenceDetection{kPreferencesSection, "SilenceDetection", "0"};
inline constexpr SettingKey kSAL{kMixerSection, "SAL", "0"};
inline constexpr SettingKey kSALSP{kMixerSection, "SALSP", "30"};

} // namespace MixerSettings
