#pragma once

#include "core/settingkey.h"

namespace PlayerSettings {

// The player program's full path; empty means the default player found on
// the search path. Its file name chooses the protocol of the link.
inline constexpr SettingKey kWinamp{kPreferencesSection, "Winamp", ""};

} // namespace PlayerSettings
