#include "mediatypes.h"

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
