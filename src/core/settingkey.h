#pragma once

// One persistent option: where it lives and what a missing value reads as.
// Each owner declares its keys as constants of this type in its own header.
struct SettingKey
{
    const char *section;
    const char *key;
    const char *defaultValue;
};

inline constexpr char kPreferencesSection[] = "Preferences";
inline constexpr char kMixerSection[] = "Mixer";
inline constexpr char kOpenWizardSection[] = "OpenWizard";
