#pragma once

#include "core/settingkey.h"

#include <QColor>
#include <QFont>
#include <QString>

class SettingsStore;

// The banner's appearance keys; the preferences dialog edits them.
namespace BannerSettings {

inline constexpr SettingKey kFontBold{kPreferencesSection, "Banner_FontBold", "1"};
inline constexpr SettingKey kFontItalic{kPreferencesSection, "Banner_FontItalic", "0"};
inline constexpr SettingKey kFontName{kPreferencesSection, "Banner_FontName", "Tahoma"};
inline constexpr SettingKey kFontSize{kPreferencesSection, "Banner_FontSize", "12"};
inline constexpr SettingKey kFontStrike{kPreferencesSection, "Banner_FontStrike", "0"};
inline constexpr SettingKey kFontUnderline{kPreferencesSection, "Banner_FontUnderline", "0"};
// Colours with red in the lowest byte: yellow text on black.
inline constexpr SettingKey kFontColor{kPreferencesSection, "Banner_FontColor", "65535"};
inline constexpr SettingKey kBackColor{kPreferencesSection, "Banner_BackColor", "0"};

} // namespace BannerSettings

// The banner's font and colours as the store holds them.
struct BannerAppearance
{
    bool bold = true;
    bool italic = false;
    QString fontName = QStringLiteral("Tahoma");
    double fontSize = 12.0; // points
    bool strike = false;
    bool underline = false;
    QColor fontColor = QColor(255, 255, 0);
    QColor backColor = QColor(0, 0, 0);

    // Reads every key afresh. A missing value, or one that does not read as
    // its kind (a flag, a positive size, a colour), takes the key's default.
    static BannerAppearance read(const SettingsStore &settings);
    // Writes flags as "1" or "0", the size and colours as decimal text.
    void save(SettingsStore &settings) const;

    // The font as requested; the platform's font matching picks a face when
    // the named one does not exist.
    QFont font() const;

    bool operator==(const BannerAppearance &) const = default;
};
