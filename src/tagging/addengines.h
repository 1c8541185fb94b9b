#pragma once

#include "fieldorder.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Id3TagReader;
class PlayListTarget;

// Called after each file with the number of files done so far; returning
// false stops the batch, keeping the songs added until then.
using BatchStep = std::function<bool(int done)>;

// Makes the tag reader for one run of the tag engine; may give nothing.
using TagReaderFactory = std::function<std::unique_ptr<Id3TagReader>()>;

// The tag engine: adds each file of `folder` named in `names`, in order, with
// the title, artist and album of its tag, or without fields when the tag has
// nothing to use. One reader serves the whole run; without one every file is
// added without fields. Returns the number of files added.
int AddWithTags(const QString &folder, const QStringList &names, const TagReaderFactory &makeReader,
                PlayListTarget &target, const BatchStep &step = {});

// The file-name engine: adds each file with the marked fields of `order`
// filled from its name split at " - ". Returns the number of files added.
int AddWithFileNames(const QString &folder, const QStringList &names, const FieldOrder &order,
                     PlayListTarget &target, const BatchStep &step = {});
