#include "colorvalue.h"

#include "core/numeric.h"
#include "core/settingvalues.h"

#include <cmath>

namespace {

constexpr quint32 kLargestColorValue = 0xFFFFFF;

} // namespace

QColor colorFromValue(quint32 value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

quint32 colorValue(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return static_cast<quint32>(rgb.red()) | static_cast<quint32>(rgb.green()) << 8 |
           static_cast<quint32>(rgb.blue()) << 16;
}

std::optional<QColor> colorFromSettingText(const QString &text)
{
    const std::optional<double> number = settingNumber(text);
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    const qint64 value = roundHalfEven(*number);
    if (value < 0 || value > static_cast<qint64>(kLargestColorValue))
        return std::nullopt;
    return colorFromValue(static_cast<quint32>(value));
}

QString colorSettingText(const QColor &color)
{
    return QString::number(colorValue(color));
}
