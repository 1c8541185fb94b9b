#include "userdialogs.h"

QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString patterns = parts[i + 1];
        // A description that already names its patterns keeps only its words,
        // since Qt appends the patterns itself.
        const qsizetype bracket = description.indexOf(QLatin1String(" ("));
        if (bracket > 0 && description.endsWith(QLatin1Char(')')))
            description.truncate(bracket);
        filters << description + QLatin1String(" (") +
                       QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}
