#include "playlistlibrarymodel.h"

namespace {

// Play list names are file names: compare them as the file system does.
constexpr Qt::CaseSensitivity kFileNameCase =
#ifdef Q_OS_WIN
    Qt::CaseInsensitive;
#else
    Qt::CaseSensitive;
#endif

} // namespace

PlayListLibraryModel::PlayListLibraryModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int PlayListLibraryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int PlayListLibraryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant PlayListLibraryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::EditRole)
        return {};
    const PlayListEntry &e = entry(index.row());
    return index.column() == chTitle ? e.name : e.shortcut;
}

QVariant PlayListLibraryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == chTitle)
        return QStringLiteral("Title");
    if (section == chShortcut)
        return QStringLiteral("Shortcut");
    return {};
}

Qt::ItemFlags PlayListLibraryModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == chTitle)
        flags |= Qt::ItemIsEditable;
    return flags;
}

int PlayListLibraryModel::addEntry(PlayListEntry entry)
{
    const int row = count();
    beginInsertRows({}, row, row);
    m_entries.push_back(std::move(entry));
    endInsertRows();
    return row;
}

void PlayListLibraryModel::removeEntry(int row)
{
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    m_entries.erase(m_entries.begin() + row);
    endRemoveRows();
}

void PlayListLibraryModel::setName(int row, const QString &name)
{
    m_entries[static_cast<size_t>(row)].name = name;
    changed(row, chTitle);
}

void PlayListLibraryModel::setShortcut(int row, const QString &folder)
{
    m_entries[static_cast<size_t>(row)].shortcut = folder;
    changed(row, chShortcut);
}

void PlayListLibraryModel::setTag(int row, const QString &tag)
{
    m_entries[static_cast<size_t>(row)].tag = tag;
}

void PlayListLibraryModel::setExtension(int row, const QString &extension)
{
    m_entries[static_cast<size_t>(row)].extension = extension;
}

int PlayListLibraryModel::findByName(const QString &name, int except) const
{
    for (int row = 0; row < count(); ++row) {
        if (row != except && sameName(entry(row).name, name))
            return row;
    }
    return -1;
}

bool PlayListLibraryModel::sameName(const QString &a, const QString &b)
{
    return a.compare(b, kFileNameCase) == 0;
}

void PlayListLibraryModel::changed(int row, int column)
{
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at);
}
