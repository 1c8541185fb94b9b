#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <functional>
#include <vector>

enum class FileIconSize : int
{
    Small = 0, // 16 x 16 pixels
    Large = 1, // 32 x 32 pixels
};

// The file-type images of the song list, one list per size: ilFileIcons_Small
// and ilFileIcons_Large. Indexes are 1-based. Each list starts with two
// built-in images; the images of file types follow from index 3, each drawn
// once per size under its extension's key (the extension with its leading dot,
// exactly as written, so .mp3 and .MP3 are two keys).
class FileIcons
{
public:
    // Put on the playing row.
    static constexpr int kNowPlayingImage = 1;
    // A file type without an icon, a name without an extension, an icon that
    // cannot be drawn.
    static constexpr int kGenericImage = 2;

    // The icon of the type of `file`, whose extension (with its dot) is given;
    // a null icon when the type has none. Asked once per extension for the
    // whole life of the object, whatever the size.
    using IconLookup = std::function<QIcon(const QString &file, const QString &extension)>;

    // Song rows keep image indexes in 15 bits: a list holds at most this many
    // images, and every type met after it is full gets the generic image.
    static constexpr int kMaxImages = 32767;

    // Looks file types up with fileTypeIcon().
    FileIcons();
    explicit FileIcons(IconLookup lookup, int maxImages = kMaxImages);

    // The index of the file's type image in the list of that size; draws and
    // adds the image on the first request for its extension and size.
    int GetFileIcon(const QString &file, FileIconSize size);

    struct Indexes
    {
        int large = kGenericImage;
        int small = kGenericImage;
    };
    // Both sizes' indexes at once, as GetFileIcon gives them for Large and
    // then Small; the extension is looked up once.
    Indexes GetFileIcons(const QString &file);
    // The same for a file name in UTF-8, as song rows hold it: a known
    // extension is found without decoding the name.
    Indexes GetFileIcons(QByteArrayView utf8File);

    int imageCount(FileIconSize size) const;
    // The image at a 1-based index; a null pixmap / icon outside the list.
    QPixmap pixmap(int index, FileIconSize size) const;
    QIcon icon(int index, FileIconSize size) const;

    static int pixelSize(FileIconSize size);

private:
    struct Image
    {
        QPixmap pixmap;
        QIcon icon;
    };

    struct ImageList
    {
        std::vector<Image> images;
        // Every extension asked for so far, with the index it got (2 included).
        QHash<QString, int> indexOfExtension;
    };

    ImageList &list(FileIconSize size);
    const ImageList &list(FileIconSize size) const;
    const QIcon &lookedUpIcon(const QString &file, const QString &extension);
    static int append(ImageList &list, const QPixmap &pixmap);
    int m_maxImages;

    // The extension of the file name in `file` (with its dot), empty for none.
    static QStringView extensionOf(const QString &file);

    IconLookup m_lookup;
    // Both indexes per extension asked through GetFileIcons. Searched by view,
    // so that a row's lookup allocates nothing; lists hold few file types.
    std::vector<std::pair<QString, Indexes>> m_bothSizes;
    // The same answers by the extension's UTF-8 bytes, which the rows of a
    // loaded list hold: compared byte for byte, without decoding.
    std::vector<std::pair<QByteArray, Indexes>> m_bothSizesUtf8;
    QHash<QString, QIcon> m_lookedUp; // per extension; null when the type has no icon
    ImageList m_ilFileIcons_Small;
    ImageList m_ilFileIcons_Large;
};

// The system's icon for the type of a file named with this extension: the
// MIME type by name (the file need not exist), then the icon theme's icon of
// that type, its generic icon, the platform's file icon. A null icon for an
// unknown type (application/octet-stream) or a type without any icon.
QIcon fileTypeIcon(const QString &file, const QString &extension);

// Makes the icon theme's file-type icons available where Qt reports no usable
// theme (no desktop session, the offscreen or a bare X platform): searches the
// standard icon folders and picks an installed theme that has them (Adwaita
// first, hicolor as fallback). Call once after the application object exists
// and before the first FileIcons. True when file-type icons are available.
bool ensureIconTheme();
