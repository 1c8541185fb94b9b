#include "fieldparsing.h"

#include "id3tagreader.h"

namespace {

const QString kSeparator = QStringLiteral(" - ");

} // namespace

QStringList tagFieldEntries(Id3TagReader &reader, const QString &path)
{
    reader.read(path);
    if (reader.noTagIndicator() != 0)
        return {};
    return {QStringLiteral("chTitle=") + reader.title(),
            QStringLiteral("chArtist=") + reader.artist(),
            QStringLiteral("chAlbum=") + reader.album(), QString()};
}

QString withoutExtension(const QString &part)
{
    if (!part.contains(QLatin1Char('.')))
        return part;
    const qsizetype size = part.size();
    if (size >= 4 && part[size - 4] == QLatin1Char('.'))
        return part.left(size - 4);
    if (size >= 5 && part[size - 5] == QLatin1Char('.'))
        return part.left(size - 5);
    return part;
}

QStringList fileNameFieldEntries(const QString &fileName, const FieldOrder &order)
{
    QStringList templates;
    for (const FieldEntry &entry : order) {
        if (entry.marked)
            templates.append(QStringLiteral("ch") + entry.name + QLatin1Char('='));
    }
    if (!fileName.contains(kSeparator))
        return {};

    QString rest = fileName;
    for (qsizetype n = 0; !rest.isEmpty() && n < templates.size(); ++n) {
        const qsizetype at = rest.indexOf(kSeparator);
        const QString part = at < 0 ? rest : rest.left(at);
        rest = at < 0 ? QString() : rest.mid(at + kSeparator.size());
        templates[n] += withoutExtension(part);
    }
    return templates;
}

QString wizardFullPath(const QString &folder, const QString &fileName)
{
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

QStringList wizardFileTypes()
{
    return {
        QStringLiteral("Supported Media File "
                       "(*.mid;*.mpg;*.mp3;*.mp2;*.voc;*.wav;*.it;*.xm;*.s3m;*.stm;*.mod;*.mtm;"
                       "*.dsm;*.med)"),
        QStringLiteral("MPEG Files (*.mpg;*.mp3;*.mp2)"),
        QStringLiteral("WAV Files (*.voc;*.wav)"),
        QStringLiteral("Amiga Modules (*.it;*.xm;*.s3m;*.stm;*.mod;*.mtm;*.dsm;*.med)"),
        QStringLiteral("Play Lists (*.pls)"),
        QStringLiteral("All Files (*.*)"),
    };
}

QStringList fileTypePatterns(const QString &item)
{
    const qsizetype open = item.indexOf(QLatin1Char('('));
    if (open < 0 || item.size() - open - 2 <= 0)
        return {};
    QStringList patterns = item.mid(open + 1, item.size() - open - 2).split(QLatin1Char(';'));
    for (QString &pattern : patterns) {
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return patterns;
}
