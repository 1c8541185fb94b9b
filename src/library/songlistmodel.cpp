#include "songlistmodel.h"

SongListModel::SongListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int SongListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SongListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kSongColumnCount;
}

QVariant SongListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kSongColumnCount)
        return {};
    const SongRow &song = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return song.fields[static_cast<size_t>(index.column())];
    case Qt::TextAlignmentRole:
        if (index.column() == chLen)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant SongListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kSongColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return songColumnCaption(static_cast<SongColumn>(section));
    if (role == Qt::TextAlignmentRole && section == chLen)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

void SongListModel::clear()
{
    setRows({});
}

void SongListModel::setRows(std::vector<SongRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void SongListModel::appendRow(SongRow row)
{
    const int at = rowCount();
    beginInsertRows({}, at, at);
    m_rows.push_back(std::move(row));
    endInsertRows();
}
