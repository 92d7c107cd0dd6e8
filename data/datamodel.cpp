#include "data/datamodel.h"

#include "data/itemdata.h"
#include "data/readingcells.h"

#include <numeric>

DataModel::DataModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int DataModel::rowCount(const QModelIndex &parent) const
{
    // A flat table: cells have no children.
    if (parent.isValid())
        return 0;
    return m_rowMap.empty() ? m_shown : int(m_rowMap.size());
}

int DataModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DataModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return QVariant();

    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole || !m_item)
        return QVariant();

    return ReadingCells::cell(m_item->readings(), readingOf(index.row()), index.row(), index.column(),
                              m_item->unit());
}

QVariant DataModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QVariant();
    return ReadingCells::title(section);
}

bool DataModel::removeRows(int row, int count, const QModelIndex &parent)
{
    const int rows = rowCount();
    if (parent.isValid() || row < 0 || row >= rows || count <= 0)
        return false;
    // The item keeps its readings; from now on the table lists which of
    // them each row shows.
    if (m_rowMap.empty()) {
        m_rowMap.resize(std::size_t(rows));
        std::iota(m_rowMap.begin(), m_rowMap.end(), 0);
    }
    // Only rows that exist are announced, so views stay in step.
    const int last = qMin(row + count, rows) - 1;
    beginRemoveRows(QModelIndex(), row, last);
    m_rowMap.erase(m_rowMap.begin() + row, m_rowMap.begin() + last + 1);
    endRemoveRows();
    // The rows that moved up have new numbers.
    if (row < rowCount())
        emit dataChanged(index(row, NumberColumn), index(rowCount() - 1, NumberColumn), {Qt::DisplayRole});
    return true;
}

void DataModel::clear()
{
    const int rows = rowCount();
    if (rows == 0) {
        m_shown = 0;
        m_rowMap.clear();
        return;
    }
    beginRemoveRows(QModelIndex(), 0, rows - 1);
    m_shown = 0;
    m_rowMap.clear();
    endRemoveRows();
}

int DataModel::showRows(int readings)
{
    if (m_item)
        readings = qMin(readings, m_item->count());
    if (!m_item || readings <= m_shown)
        return rowCount();
    const int first = rowCount();
    const int added = readings - m_shown;
    beginInsertRows(QModelIndex(), first, first + added - 1);
    if (!m_rowMap.empty()) {
        for (int i = m_shown; i < readings; ++i)
            m_rowMap.push_back(i);
    }
    m_shown = readings;
    endInsertRows();
    return rowCount();
}

void DataModel::setItem(ItemData *item)
{
    m_item = item;
}
