#pragma once

#include <QString>

// A play list name is a file name: it must not contain any of \ / : * ? " < > |
bool IsValidPlayListName(const QString &name);

// The message shown when a name breaks that rule.
QString invalidPlayListNameMessage();
