#pragma once

#include "fieldorder.h"

#include <QString>
#include <QStringList>

class Id3TagReader;

// Field lists handed with each file to Add2PlayList: entries "chKey=value"
// that fill the song list's columns in order, an empty entry being skipped.
// An empty list means "no fields": the song list makes the title itself.

// The tag engine's entries for one file: title, artist and album exactly as
// the reader gives them, then an empty entry; a tag without a title gives
// the title the song list makes of the file name (songTitleOf). No fields
// when the reader reports nothing to use.
QStringList tagFieldEntries(Id3TagReader &reader, const QString &path);

// The file-name engine's entries for a file name (no folder, with its
// extension). The name is split at exactly " - "; each marked field of
// `order`, in order, takes the next part, the last part without its
// extension; extra parts are dropped and a field without a part stays bare
// ("chAlbum="). No fields when the name holds no " - " or no field is marked.
QStringList fileNameFieldEntries(const QString &fileName, const FieldOrder &order);

// The last part of a file name without its extension: a media type VORN
// plays (".xm" as well as ".mp3") goes after its dot; otherwise four
// characters go when the fourth from the end is a dot, else five when the
// fifth from the end is one. A part too short for the test stays.
QString withoutExtension(const QString &part);

// The folder joined to a file name with one separator.
QString wizardFullPath(const QString &folder, const QString &fileName);

// The file types the wizard offers, the first being chosen when it opens.
QStringList wizardFileTypes();
// The name patterns of a file type item: the text between its first "(" and
// its last character, split at ";". "*.*" matches every file, also one
// without a dot, as it does on Windows.
QStringList fileTypePatterns(const QString &item);
