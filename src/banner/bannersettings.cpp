#include "bannersettings.h"

#include "colorvalue.h"
#include "core/settingsstore.h"
#include "core/settingvalues.h"

#include <cmath>

namespace {

// An unreadable flag takes the key's default.
bool readFlag(const SettingsStore &settings, const SettingKey &key)
{
    return settingFlag(settings.value(key))
        .value_or(settingFlag(QString::fromLatin1(key.defaultValue)).value_or(false));
}

QColor readColor(const SettingsStore &settings, const SettingKey &key)
{
    return colorFromSettingText(settings.value(key))
        .value_or(*colorFromSettingText(QString::fromLatin1(key.defaultValue)));
}

} // namespace

BannerAppearance BannerAppearance::read(const SettingsStore &settings)
{
    using namespace BannerSettings;
    BannerAppearance a;
    a.bold = readFlag(settings, kFontBold);
    a.italic = readFlag(settings, kFontItalic);
    a.fontName = settings.value(kFontName);
    const std::optional<double> size = settingNumber(settings.value(kFontSize));
    if (size && std::isfinite(*size) && *size > 0.0)
        a.fontSize = *size;
    a.strike = readFlag(settings, kFontStrike);
    a.underline = readFlag(settings, kFontUnderline);
    a.fontColor = readColor(settings, kFontColor);
    a.backColor = readColor(settings, kBackColor);
    return a;
}

void BannerAppearance::save(SettingsStore &settings) const
{
    using namespace BannerSettings;
    settings.save(kFontBold, onOffText(bold));
    settings.save(kFontItalic, onOffText(italic));
    settings.save(kFontName, fontName);
    settings.save(kFontSize, QString::number(fontSize));
    settings.save(kFontStrike, onOffText(strike));
    settings.save(kFontUnderline, onOffText(underline));
    settings.save(kFontColor, colorSettingText(fontColor));
    settings.save(kBackColor, colorSettingText(backColor));
}

QFont BannerAppearance::font() const
{
    QFont f(fontName);
    f.setPointSizeF(fontSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setStrikeOut(strike);
    f.setUnderline(underline);
    return f;
}
