#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// How the text of a list file is decoded. A byte-order mark (UTF-8, UTF-16,
// UTF-32) always wins.
enum class PlayListEncoding
{
    // Always UTF-8; invalid sequences become replacement characters.
    Utf8,
    // UTF-8 when the whole file is valid UTF-8, else Windows-1252 (lists
    // written by Windows players in the system code page).
    Utf8OrWindows1252,
};

// Reads a play list file written by another player: the bytes of the file in,
// the song entries it names out, in file order and as written (not resolved
// against the list's folder). One subclass per format says which lines name a
// song.
//
// Lines end at CR LF, LF or a lone CR. Each line loses its leading and
// trailing whitespace (as a whole line, so blanks inside a path are kept);
// empty lines, and lines holding a NUL character (which no path can contain),
// name nothing. Parsing never fails, whatever the bytes, and takes time
// linear in their size.
class PlayListParser
{
public:
    virtual ~PlayListParser() = default;

    // What each entry becomes, from the entry as written; the entry itself
    // when empty. Called for a long list from two threads at once.
    using EntryMap = std::function<QString(QStringView entry)>;
    QStringList parse(const QByteArray &bytes, const EntryMap &map = {}) const;

    PlayListEncoding encoding() const { return m_encoding; }

protected:
    explicit PlayListParser(PlayListEncoding encoding);

    // The song entry one line names, as a part of that line; empty when the
    // line names none. `line` is trimmed, not empty and holds no NUL.
    virtual QStringView entryOfLine(QStringView line) const = 0;

private:
    QStringList entriesOf(QStringView text, const EntryMap &map) const;

    PlayListEncoding m_encoding;
};
