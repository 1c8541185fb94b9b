#pragma once

#include <QColor>
#include <QString>
#include <QtGlobal>

#include <optional>

// Stored colours are 24-bit values with red in the lowest byte, then green,
// then blue (0x00BBGGRR): 65535 is yellow, 16777215 white.

QColor colorFromValue(quint32 value);
quint32 colorValue(const QColor &color);

// A colour stored as decimal text; nothing when the text is not a number in
// 0 ... 16777215 (values with flag bits above the blue byte are not colours).
std::optional<QColor> colorFromSettingText(const QString &text);
QString colorSettingText(const QColor &color);
