#pragma once

#include "core/settingkey.h"
#include "playback/playersettings.h"

// Keys owned by the main window's start-up and closing. Geometry is in twips;
// MainX and MainY default to a quarter of the screen, computed at load.
namespace ShellSettings {

inline constexpr SettingKey kMainX{kPreferencesSection, "MainX", ""};
inline constexpr SettingKey kMainY{kPreferencesSection, "MainY", ""};
inline constexpr SettingKey kMainW{kPreferencesSection, "MainW", "8500"};
inline constexpr SettingKey kMainH{kPreferencesSection, "MainH", "5500"};
inline constexpr SettingKey kTextLabels{kPreferencesSection, "TextLabels", "1"};
inline constexpr SettingKey kShowBanner{kPreferencesSection, "ShowBanner", "1"};
inline constexpr SettingKey kWinamp = PlayerSettings::kWinamp;

} // namespace ShellSettings
