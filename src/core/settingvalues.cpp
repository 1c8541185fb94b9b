#include "settingvalues.h"

#include "numeric.h"

std::optional<double> settingNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

bool textLabelsOn(const QString &text)
{
    const std::optional<double> number = settingNumber(text);
    if (!number)
        return true;
    return roundHalfEven(*number) == 1;
}

std::optional<bool> settingFlag(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> number = settingNumber(trimmed);
    if (!number)
        return std::nullopt;
    return *number != 0.0;
}

bool showBannerOn(const QString &text)
{
    return settingFlag(text).value_or(true);
}

QString onOffText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
