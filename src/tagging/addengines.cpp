#include "addengines.h"

#include "fieldparsing.h"
#include "id3tagreader.h"
#include "playlisttarget.h"

namespace {

template <typename FieldsOf>
int addEach(const QString &folder, const QStringList &names, PlayListTarget &target,
            const BatchStep &step, FieldsOf fieldsOf)
{
    int done = 0;
    for (const QString &name : names) {
        const QString path = wizardFullPath(folder, name);
        target.Add2PlayList(path, fieldsOf(path, name));
        ++done;
        if (step && !step(done))
            break;
    }
    return done;
}

} // namespace

int AddWithTags(const QString &folder, const QStringList &names, const TagReaderFactory &makeReader,
                PlayListTarget &target, const BatchStep &step)
{
    const std::unique_ptr<Id3TagReader> reader = makeReader ? makeReader() : nullptr;
    return addEach(folder, names, target, step, [&](const QString &path, const QString &) {
        return reader ? tagFieldEntries(*reader, path) : QStringList();
    });
}

int AddWithFileNames(const QString &folder, const QStringList &names, const FieldOrder &order,
                     PlayListTarget &target, const BatchStep &step)
{
    return addEach(folder, names, target, step, [&](const QString &, const QString &name) {
        return fileNameFieldEntries(name, order);
    });
}
