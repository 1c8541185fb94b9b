#include "taglibtagreader.h"

#include "core/textlimit.h"
#include "library/legacytext.h"

#include <QFile>

#include <fileref.h>
#include <id3v1tag.h>
#include <tag.h>
#include <tstring.h>

#include <string>

namespace {

// A tag text as a field keeps it: up to its first NUL (where a C string
// would end; a text of NULs only is no text), and at most kLongestFieldText
// characters, so that a hostile tag of megabytes costs no more than a
// short one further on.
QString fromTagLib(const TagLib::String &text)
{
    // TagLib holds UTF-16 units: one unit more than is kept shows whether
    // the cut would fall inside a surrogate pair.
    const std::wstring start =
        text.substr(0, static_cast<unsigned int>(kLongestFieldText) + 1).toWString();
    const size_t nul = start.find(L'\0');
    const QString whole =
        QString::fromStdWString(nul == std::wstring::npos ? start : start.substr(0, nul));
    return cutAtCharacter(whole, kLongestFieldText);
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
    m_indicator = m_title.isEmpty() && m_artist.isEmpty() && m_album.isEmpty() ? kNoUsableTag : 0;
}
