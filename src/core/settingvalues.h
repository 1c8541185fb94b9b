#pragma once

#include <QString>

#include <optional>

// Conversions between stored setting texts and the values they stand for.

// A stored decimal number; nothing when the text is not a number.
std::optional<double> settingNumber(const QString &text);

// TextLabels is on exactly when the stored number, rounded half to even, is 1.
// A text that is not a number reads as the key's default (on).
bool textLabelsOn(const QString &text);

// An on/off option: on for any non-zero number and for "True", off for 0 and
// "False" (either case); nothing for any other text.
std::optional<bool> settingFlag(const QString &text);

// ShowBanner is on for any non-zero number and for "True"; off for 0 and
// "False". Any other text reads as the key's default (on).
bool showBannerOn(const QString &text);

// On/off options are stored as "1" or "0".
QString onOffText(bool on);
