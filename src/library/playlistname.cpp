#include "playlistname.h"

namespace {

constexpr char16_t kForbidden[] = u"\\/:*?\"<>|";

} // namespace

bool IsValidPlayListName(const QString &name)
{
    for (const char16_t c : kForbidden) {
        if (c != u'\0' && name.contains(QChar(c)))
            return false;
    }
    return true;
}

QString invalidPlayListNameMessage()
{
    return QStringLiteral("A Play List name cannot contain any of the following characters:\n") +
           QString(26, QLatin1Char(' ')) + QStringLiteral("\\ / : * ? \" < > |");
}
