#pragma once

#include <QString>

#include <optional>

// Why the player program at `path` cannot be used, as a message that names
// the path; nothing when it can. An empty path stands for the default player
// found on the search path, and a bare program name is looked up there.
std::optional<QString> playerPathProblem(const QString &path);
