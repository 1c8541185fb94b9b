#include "fileicons.h"

#include <QAnyStringView>
#include <QApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QStandardPaths>
#include <QUtf8StringView>

#include <algorithm>
#include <optional>

namespace {

// A generic document, present in every freedesktop icon theme that has
// file-type icons at all.
constexpr char kProbeIcon[] = "text-x-generic";

bool isBlank(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                return false;
        }
    }
    return true;
}

// The icon drawn once at exactly px x px; nothing when it draws no pixel.
std::optional<QPixmap> drawn(const QIcon &icon, int px)
{
    if (icon.isNull())
        return std::nullopt;
    QPixmap pixmap(px, px);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        icon.paint(&painter, QRect(0, 0, px, px));
    }
    if (isBlank(pixmap))
        return std::nullopt;
    return pixmap;
}

// The built-in pictures when the icon theme lacks them: a play triangle and a
// page with a folded corner.
QPixmap drawnNowPlaying(int px)
{
    QPixmap pixmap(px, px);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = px;
    QPainterPath triangle;
    triangle.moveTo(0.22 * s, 0.12 * s);
    triangle.lineTo(0.88 * s, 0.5 * s);
    triangle.lineTo(0.22 * s, 0.88 * s);
    triangle.closeSubpath();
    painter.setPen(QPen(QColor(0x1b, 0x5e, 0x20), s / 16.0));
    painter.setBrush(QColor(0x43, 0xa0, 0x47));
    painter.drawPath(triangle);
    return pixmap;
}

QPixmap drawnGenericFile(int px)
{
    QPixmap pixmap(px, px);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = px;
    const qreal fold = 0.25 * s;
    QPainterPath page;
    page.moveTo(0.18 * s, 0.06 * s);
    page.lineTo(0.82 * s - fold, 0.06 * s);
    page.lineTo(0.82 * s, 0.06 * s + fold);
    page.lineTo(0.82 * s, 0.94 * s);
    page.lineTo(0.18 * s, 0.94 * s);
    page.closeSubpath();
    painter.setPen(QPen(QColor(0x61, 0x61, 0x61), s / 16.0));
    painter.setBrush(Qt::white);
    painter.drawPath(page);
    painter.drawLine(QPointF(0.82 * s - fold, 0.06 * s), QPointF(0.82 * s - fold, 0.06 * s + fold));
    painter.drawLine(QPointF(0.82 * s - fold, 0.06 * s + fold), QPointF(0.82 * s, 0.06 * s + fold));
    return pixmap;
}

QPixmap builtInImage(const char *themeName, QPixmap (*fallback)(int), int px)
{
    if (const std::optional<QPixmap> themed =
            drawn(QIcon::fromTheme(QString::fromLatin1(themeName)), px))
        return *themed;
    return fallback(px);
}

bool themeFolderExists(const QStringList &searchPaths, const QString &theme)
{
    for (const QString &path : searchPaths) {
        if (QFileInfo::exists(QDir(path).filePath(theme + QStringLiteral("/index.theme"))))
            return true;
    }
    return false;
}

} // namespace

FileIcons::FileIcons()
    : FileIcons(fileTypeIcon)
{}

FileIcons::FileIcons(IconLookup lookup, int maxImages)
    : m_maxImages(maxImages)
    , m_lookup(std::move(lookup))
{
    for (FileIconSize size : {FileIconSize::Small, FileIconSize::Large}) {
        const int px = pixelSize(size);
        ImageList &images = list(size);
        append(images, builtInImage("media-playback-start", drawnNowPlaying, px));
        append(images, builtInImage("application-x-generic", drawnGenericFile, px));
    }
}

QStringView FileIcons::extensionOf(const QString &file)
{
    // The file name follows the last separator of either platform, so that a
    // dot in a folder name is no extension.
    for (qsizetype i = file.size() - 1; i >= 0; --i) {
        const QChar c = file[i];
        if (c == QLatin1Char('.'))
            return QStringView(file).sliced(i);
        if (c == QLatin1Char('/') || c == QLatin1Char('\\'))
            break;
    }
    return {};
}

FileIcons::Indexes FileIcons::GetFileIcons(const QString &file)
{
    const QStringView extension = extensionOf(file);
    if (extension.isEmpty())
        return {};
    for (const auto &[known, indexes] : m_bothSizes) {
        if (known == extension)
            return indexes;
    }
    const Indexes indexes{GetFileIcon(file, FileIconSize::Large),
                          GetFileIcon(file, FileIconSize::Small)};
    // Beyond a few dozen types the per-size tables answer; the search stays short.
    if (m_bothSizes.size() < 64)
        m_bothSizes.emplace_back(extension.toString(), indexes);
    return indexes;
}

FileIcons::Indexes FileIcons::GetFileIcons(QByteArrayView utf8File)
{
    // '.', '/' and '\\' never occur inside a multi-byte UTF-8 character.
    for (qsizetype i = utf8File.size() - 1; i >= 0; --i) {
        const char c = utf8File[i];
        if (c == '.') {
            const QByteArrayView extension = utf8File.sliced(i);
            for (const auto &[known, indexes] : m_bothSizesUtf8) {
                if (known == extension)
                    return indexes;
            }
            const Indexes indexes = GetFileIcons(QString::fromUtf8(utf8File));
            if (m_bothSizesUtf8.size() < 64)
                m_bothSizesUtf8.emplace_back(extension.toByteArray(), indexes);
            return indexes;
        }
        if (c == '/' || c == '\\')
            break;
    }
    return GetFileIcons(QString::fromUtf8(utf8File));
}

int FileIcons::GetFileIcon(const QString &file, FileIconSize size)
{
    const QStringView extensionView = extensionOf(file);
    if (extensionView.isEmpty())
        return kGenericImage;
    const QString extension = extensionView.toString();

    ImageList &images = list(size);
    if (const auto known = images.indexOfExtension.constFind(extension);
        known != images.indexOfExtension.constEnd())
        return *known;

    const std::optional<QPixmap> pixmap = drawn(lookedUpIcon(file, extension), pixelSize(size));
    const bool room = static_cast<qsizetype>(images.images.size()) < m_maxImages;
    const int index = pixmap && room ? append(images, *pixmap) : kGenericImage;
    images.indexOfExtension.insert(extension, index);
    return index;
}

int FileIcons::imageCount(FileIconSize size) const
{
    return static_cast<int>(list(size).images.size());
}

QPixmap FileIcons::pixmap(int index, FileIconSize size) const
{
    const std::vector<Image> &images = list(size).images;
    if (index < 1 || index > static_cast<int>(images.size()))
        return {};
    return images[static_cast<size_t>(index - 1)].pixmap;
}

QIcon FileIcons::icon(int index, FileIconSize size) const
{
    const std::vector<Image> &images = list(size).images;
    if (index < 1 || index > static_cast<int>(images.size()))
        return {};
    return images[static_cast<size_t>(index - 1)].icon;
}

int FileIcons::pixelSize(FileIconSize size)
{
    return size == FileIconSize::Large ? 32 : 16;
}

FileIcons::ImageList &FileIcons::list(FileIconSize size)
{
    return size == FileIconSize::Large ? m_ilFileIcons_Large : m_ilFileIcons_Small;
}

const FileIcons::ImageList &FileIcons::list(FileIconSize size) const
{
    return size == FileIconSize::Large ? m_ilFileIcons_Large : m_ilFileIcons_Small;
}

const QIcon &FileIcons::lookedUpIcon(const QString &file, const QString &extension)
{
    auto found = m_lookedUp.find(extension);
    if (found == m_lookedUp.end())
        found = m_lookedUp.insert(extension, m_lookup ? m_lookup(file, extension) : QIcon());
    return *found;
}

int FileIcons::append(ImageList &list, const QPixmap &pixmap)
{
    list.images.push_back(Image{pixmap, QIcon(pixmap)});
    return static_cast<int>(list.images.size());
}

QIcon fileTypeIcon(const QString &file, const QString &extension)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("file") + extension,
                                                           QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return {};
    for (const QString &name : {type.iconName(), type.genericIconName()}) {
        if (!name.isEmpty() && QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    }
    // The platform's own file icons need the widgets application object.
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QFileIconProvider().icon(QFileInfo(file));
    return {};
}

bool ensureIconTheme()
{
    const QString probe = QString::fromLatin1(kProbeIcon);
    if (QIcon::hasThemeIcon(probe))
        return true;

    QStringList searchPaths = QIcon::themeSearchPaths();
    QStringList folders =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                  QStandardPaths::LocateDirectory);
    folders.prepend(QDir::home().filePath(QStringLiteral(".icons")));
    for (const QString &folder : std::as_const(folders)) {
        if (QFileInfo(folder).isDir() && !searchPaths.contains(folder))
            searchPaths.append(folder);
    }
    QIcon::setThemeSearchPaths(searchPaths);
    if (QIcon::fallbackThemeName().isEmpty())
        QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
    if (QIcon::hasThemeIcon(probe))
        return true;

    const QString reported = QIcon::themeName();
    for (const QString &theme : {QStringLiteral("Adwaita"), QStringLiteral("breeze"),
                                 QStringLiteral("gnome"), QStringLiteral("Tango")}) {
        if (!themeFolderExists(searchPaths, theme))
            continue;
        QIcon::setThemeName(theme);
        if (QIcon::hasThemeIcon(probe))
            return true;
    }
    QIcon::setThemeName(reported);
    return false;
}
