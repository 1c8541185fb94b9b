#include "taglibtagreader.h"

#include "library/legacytext.h"

#include <QFile>

#include <fileref.h>
#include <id3v1tag.h>
#include <tag.h>
#include <tstring.h>

namespace {

QString fromTagLib(const TagLib::String &text)
{
    return QString::fromStdWString(text.toWString());
}

// ID3v1 holds bytes of no stated code page; files tagged on Windows carry
// Windows-1252, which TagLib would read as Latin-1 (losing "€" and the
// typographic quotes).
class Id3v1Text final : public TagLib::ID3v1::StringHandler
{
public:
    TagLib::String parse(const TagLib::ByteVector &data) const override
    {
        const char *text = data.data();
        qsizetype size = 0;
        while (size < static_cast<qsizetype>(data.size()) && text[size] != '\0')
            ++size;
        while (size > 0 && text[size - 1] == ' ')
            --size;
        const QByteArrayView bytes(text, size);
        return TagLib::String(m_decoder.decode(bytes).toStdWString());
    }

private:
    mutable Utf8OrWindows1252Decoder m_decoder;
};

void installId3v1Text()
{
    // TagLib keeps one handler for the whole process; it must outlive every
    // tag read with it.
    static const Id3v1Text handler;
    TagLib::ID3v1::Tag::setStringHandler(&handler);
}

} // namespace

TagLibTagReader::TagLibTagReader()
{
    installId3v1Text();
}

void TagLibTagReader::read(const QString &path)
{
    m_indicator = kUnreadable;
    m_title.clear();
    m_artist.clear();
    m_album.clear();

    const QByteArray name = QFile::encodeName(path);
    // Audio properties are not needed and reading them scans the audio.
    const TagLib::FileRef file(name.constData(), false);
    if (file.isNull() || file.tag() == nullptr)
        return;
    const TagLib::Tag *tag = file.tag();
    m_title = fromTagLib(tag->title());
    m_artist = fromTagLib(tag->artist());
    m_album = fromTagLib(tag->album());
    m_indicator = tag->title().isEmpty() && tag->artist().isEmpty() && tag->album().isEmpty()
                      ? kNoUsableTag
                      : 0;
}
