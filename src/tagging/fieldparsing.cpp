#include "fieldparsing.h"

#include "id3tagreader.h"
#include "library/mediatypes.h"
#include "library/songlisteditor.h"

namespace {

const QString kSeparator = QStringLiteral(" - ");

} // namespace

QStringList tagFieldEntries(Id3TagReader &reader, const QString &path)
{
    reader.read(path);
    if (reader.noTagIndicator() != 0)
        return {};
    // A tag without a title leaves the title the song list gives a file
    // without fields, not an empty one.
    const QString title = reader.title();
    return {QStringLiteral("chTitle=") + (title.isEmpty() ? songTitleOf(path).toString() : title),
            QStringLiteral("chArtist=") + reader.artist(),
            QStringLiteral("chAlbum=") + reader.album(), QString()};
}

QString withoutExtension(const QString &part)
{
    const qsizetype dot = part.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return part;
    if (isSupportedMediaType(part.sliced(dot + 1)))
        return part.left(dot);
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
        // Only the name's end holds its extension: a dot inside an earlier
        // part ("R.E.M - Song.mp3") belongs to the text.
        templates[n] += at < 0 ? withoutExtension(part) : part;
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
