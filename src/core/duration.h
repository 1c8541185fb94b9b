#pragma once

#include <QString>
#include <QStringView>

// Length text: minutes and seconds with at least two digits each, joined by
// ":", with hours in front from one hour on (03:25, 01:02:03, 100:00:00).
// Negative input is treated as 0.
QString FormatDuration(qint64 seconds);

// Whole seconds of a length text. With two ":" the three fields are hours,
// minutes and seconds; otherwise the first two characters are minutes and the
// last two seconds. Fields are read leniently; anything unreadable counts 0.
qint64 ParseDuration(QStringView text);
