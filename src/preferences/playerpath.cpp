#include "playerpath.h"

#include <QFileInfo>
#include <QStandardPaths>

std::optional<QString> playerPathProblem(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    const bool bareName = !path.contains(QLatin1Char('/')) && !path.contains(QLatin1Char('\\'));
    if (bareName) {
        if (QStandardPaths::findExecutable(path).isEmpty())
            return QStringLiteral("The player program \"%1\" cannot be found on the search path.")
                .arg(path);
        return std::nullopt;
    }
    const QFileInfo file(path);
    if (!file.exists())
        return QStringLiteral("The player program \"%1\" does not exist.").arg(path);
    if (!file.isFile() || !file.isExecutable())
        return QStringLiteral("The player program \"%1\" is not an executable program.").arg(path);
    return std::nullopt;
}
