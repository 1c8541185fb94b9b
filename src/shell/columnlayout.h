#pragma once

#include "core/settingkey.h"
#include "library/songrow.h"

#include <array>

class QHeaderView;
class SettingsStore;

// The song list's column layout kept in the settings store: per column key,
// the width in twips under "W" + key and the display position under "I" +
// key. Positions are stored counted from 1 (1 = the leftmost column).
namespace ColumnLayoutSettings {

inline constexpr int kDefaultWidth = 2000;

inline constexpr std::array<SettingKey, kSongColumnCount> kWidthKeys{{
    {kPreferencesSection, "WchTitle", "2000"},
    {kPreferencesSection, "WchArtist", "2000"},
    {kPreferencesSection, "WchAlbum", "2000"},
    {kPreferencesSection, "WchGenre", "2000"},
    {kPreferencesSection, "WchLen", "2000"},
    {kPreferencesSection, "WchFile", "2000"},
}};

// The default of a position is the column's current one, known only at load.
inline constexpr std::array<SettingKey, kSongColumnCount> kPositionKeys{{
    {kPreferencesSection, "IchTitle", ""},
    {kPreferencesSection, "IchArtist", ""},
    {kPreferencesSection, "IchAlbum", ""},
    {kPreferencesSection, "IchGenre", ""},
    {kPreferencesSection, "IchLen", ""},
    {kPreferencesSection, "IchFile", ""},
}};

inline constexpr const SettingKey &widthKey(SongColumn column)
{
    return kWidthKeys[column];
}
inline constexpr const SettingKey &positionKey(SongColumn column)
{
    return kPositionKeys[column];
}

} // namespace ColumnLayoutSettings

// Restores each song column's width and display position. A missing or
// unreadable width gives 2000 twips; a missing, unreadable or out-of-range
// position leaves the column where it is. Twips become pixels at
// `dotsPerInch`. Sections beyond the six song columns are left alone.
void LoadColumnLayout(QHeaderView &header, const SettingsStore &settings, double dotsPerInch);

// Stores each song column's width (twips) and display position as decimal text.
void SaveColumnLayout(const QHeaderView &header, SettingsStore &settings, double dotsPerInch);
