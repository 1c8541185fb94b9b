#include "taggedfiles.h"

#include <QFile>

#include <attachedpictureframe.h>
#include <id3v1tag.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <tstring.h>

#include <string>

namespace {

// TagLib holds a text as UTF-16 units, also in a wide string where wchar_t
// has 32 bits: a character beyond the BMP goes in as its two units.
TagLib::String toTagLib(const QString &text)
{
    std::wstring units;
    units.reserve(static_cast<size_t>(text.size()));
    for (const QChar unit : text)
        units.push_back(unit.unicode());
    return TagLib::String(units);
}

void setTexts(TagLib::Tag *tag, const TagTexts &texts)
{
    tag->setTitle(toTagLib(texts.title));
    tag->setArtist(toTagLib(texts.artist));
    tag->setAlbum(toTagLib(texts.album));
}

} // namespace

bool writeSilentMp3(const QString &path, int frames)
{
    // 144 * 128000 / 44100 = 417 bytes per frame without padding; all-zero
    // side information decodes as silence.
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(0x64);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (int i = 0; i < frames; ++i) {
        if (file.write(frame) != frame.size())
            return false;
    }
    return true;
}

bool writeTaggedMp3(const QString &path, const TagTexts &texts, TagKinds kinds, int pictureBytes)
{
    if (!writeSilentMp3(path))
        return false;
    if (kinds == TagKinds::None)
        return true;
    const QByteArray name = QFile::encodeName(path);
    TagLib::MPEG::File file(name.constData(), false);
    if (!file.isValid())
        return false;
    int which = 0;
    if (kinds == TagKinds::Id3v2 || kinds == TagKinds::Both) {
        TagLib::ID3v2::Tag *tag = file.ID3v2Tag(true);
        setTexts(tag, texts);
        if (pictureBytes > 0) {
            auto *picture = new TagLib::ID3v2::AttachedPictureFrame;
            picture->setMimeType("image/jpeg");
            picture->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
            picture->setPicture(TagLib::ByteVector(static_cast<unsigned int>(pictureBytes), 'x'));
            tag->addFrame(picture);
        }
        which |= TagLib::MPEG::File::ID3v2;
    }
    if (kinds == TagKinds::Id3v1 || kinds == TagKinds::Both) {
        setTexts(file.ID3v1Tag(true), texts);
        which |= TagLib::MPEG::File::ID3v1;
    }
    return file.save(which, TagLib::File::StripOthers, TagLib::ID3v2::v4,
                     TagLib::File::DoNotDuplicate);
}

QByteArray rawId3v1(const QByteArray &title, const QByteArray &artist, const QByteArray &album)
{
    auto field = [](const QByteArray &bytes, int width) {
        QByteArray padded = bytes.left(width);
        padded.append(QByteArray(width - padded.size(), '\0'));
        return padded;
    };
    QByteArray tag("TAG");
    tag += field(title, 30);
    tag += field(artist, 30);
    tag += field(album, 30);
    tag += QByteArray("2001");
    tag += field(QByteArray(), 30);
    tag += char(255); // no genre
    return tag;
}
