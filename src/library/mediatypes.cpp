#include "mediatypes.h"

#include <QDir>

#include <vector>

QStringList supportedMediaTypes()
{
    return {QStringLiteral("mid"), QStringLiteral("mpg"), QStringLiteral("mp3"),
            QStringLiteral("mp2"), QStringLiteral("voc"), QStringLiteral("wav"),
            QStringLiteral("it"),  QStringLiteral("xm"),  QStringLiteral("s3m"),
            QStringLiteral("stm"), QStringLiteral("mod"), QStringLiteral("mtm"),
            QStringLiteral("dsm"), QStringLiteral("med")};
}

bool isSupportedMediaType(const QString &extension)
{
    return supportedMediaTypes().contains(extension.toLower());
}

QStringList listMediaFiles(const QString &folder)
{
    const QStringList types = supportedMediaTypes();
    QStringList patterns;
    for (const QString &type : types)
        patterns.append(QStringLiteral("*.") + type);
    const QDir listed(folder);
    // Sorted whole, each type's files keep the order a listing of that type
    // alone would give them.
    const QStringList names = listed.entryList(patterns, QDir::Files, QDir::Name);
    std::vector<QStringList> byType(static_cast<size_t>(types.size()));
    for (const QString &name : names) {
        const qsizetype type = types.indexOf(lowerExtension(name));
        if (type >= 0)
            byType[static_cast<size_t>(type)].append(
                QDir::toNativeSeparators(listed.filePath(name)));
    }
    QStringList paths;
    paths.reserve(names.size());
    for (const QStringList &group : byType)
        paths += group;
    return paths;
}

QString mediaFileFilter()
{
    return QStringLiteral("Supported Media Files|*.mid;*.mpg;*.mp3;*.mp2;*.voc;*.wav;*.it;*.xm;"
                          "*.s3m;*.stm;*.mod;*.mtm;*.dsm;*.med|All Files (*.*)|*.*");
}

QString lowerExtension(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    const QString extension = path.mid(dot + 1);
    // A dot inside a folder name is no extension.
    if (extension.contains(QLatin1Char('/')) || extension.contains(QLatin1Char('\\')))
        return {};
    return extension.toLower();
}
