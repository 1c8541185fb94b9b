#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Limits for text that comes from outside (tags, stored lists) and is shown
// or kept: a field of megabytes must never reach text layout whole.

// The most characters (UTF-16 units) kept of one tag text, and shown of one
// song list cell.
inline constexpr qsizetype kLongestFieldText = 1024;

// `text` cut to at most `maxUnits` UTF-16 units, never between the two
// halves of a surrogate pair.
QString cutAtCharacter(QStringView text, qsizetype maxUnits);

// `text` when it has at most `maxUnits` units; else its start cut at a
// character and ended by "…", `maxUnits` units in all.
QString elidedToLength(QStringView text, qsizetype maxUnits);

// elidedToLength of the UTF-8 text `utf8`, decoding only the start that can
// be shown, so that a field of megabytes costs no more than a short one.
QString elidedUtf8(QByteArrayView utf8, qsizetype maxUnits);
